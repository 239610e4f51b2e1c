#include "app/windowedscript.h"

#include <QCoreApplication>

namespace hostapp {

std::optional<hosted::InputLine> WindowedScript::next(hosted::Request request) {
    QCoreApplication::processEvents();
    return m_script.next(request);
}

}  // namespace hostapp
