#pragma once

#include "base/settings.h"

#include <QSettings>

// Removes every stored setting, so a test starts as a first run.
inline void clearSettings()
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, basBrivamo::SettingsApplication,
                    basBrivamo::SettingsApplication);
    store.clear();
    store.sync();
}
