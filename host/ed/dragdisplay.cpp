#include "ed/dragdisplay.h"

namespace hosted {

namespace {
DragDisplay* g_display = nullptr;
}

void setDragDisplay(DragDisplay* display) { g_display = display; }

DragSession::DragSession() : m_display(g_display) {
    if (m_display) m_display->begin();
}

DragSession::~DragSession() {
    if (m_display) m_display->end();
}

void DragSession::present(const std::vector<const AcDbEntity*>& extra) {
    if (m_display) m_display->present(extra);
}

}  // namespace hosted
