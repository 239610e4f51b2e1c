#include "ui/framework/settings.h"

#include <QDir>
#include <QSettings>

#include <cstdlib>

namespace hostui {

QString settingsPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const QString base = xdg && *xdg ? QString::fromLocal8Bit(xdg) : QDir::homePath() + "/.config";
    return base + "/marvolt/marvolt-host.ini";
}

QVariant setting(const QString& key) {
    const QSettings file(settingsPath(), QSettings::IniFormat);
    return file.value(key);
}

void setSetting(const QString& key, const QVariant& value) {
    QSettings file(settingsPath(), QSettings::IniFormat);
    file.setValue(key, value);
    file.sync();
}

}  // namespace hostui
