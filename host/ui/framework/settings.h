#pragma once

#include <QString>
#include <QVariant>

namespace hostui {

// The host's settings: one file under $XDG_CONFIG_HOME (else ~/.config), read and
// written at once so that a second host sees what the first saved.
QString settingsPath();
QVariant setting(const QString& key);
void setSetting(const QString& key, const QVariant& value);

}  // namespace hostui
