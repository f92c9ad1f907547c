#include "base/settings.h"

#include <QFileInfo>
#include <QLocale>
#include <QSettings>

#include <cmath>

namespace basBrivamo {

QString ReadSetting(const QString &application, const QString &section, const QString &key,
                    const QString &defaultValue)
{
    // NativeFormat is INI text on Linux: <config>/Brivamo/<application>.conf.
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, SettingsApplication, application);
    store.beginGroup(section);
    const QVariant value = store.value(key);
    if (!value.isValid())
        return defaultValue;
    // A hand-edited value with a comma reads back as a list; keep it as the text it was.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

bool WriteSetting(const QString &application, const QString &section, const QString &key,
                  const QString &value)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, SettingsApplication, application);
    store.beginGroup(section);
    store.setValue(key, value);
    store.endGroup();
    store.sync();
    return store.status() == QSettings::NoError;
}

QString SettingsFolder()
{
    const QSettings store(QSettings::NativeFormat, QSettings::UserScope, SettingsApplication,
                          SettingsApplication);
    return QFileInfo(store.fileName()).absolutePath();
}

std::optional<bool> SettingToBool(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    bool isNumber = false;
    const double number = QLocale::c().toDouble(trimmed, &isNumber);
    if (isNumber && std::isfinite(number))
        return number != 0.0;
    return std::nullopt;
}

bool SettingToBool(const QString &text, bool defaultValue)
{
    return SettingToBool(text).value_or(defaultValue);
}

QString BoolToSetting(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool readBoolSetting(const QString &key, bool defaultValue)
{
    return SettingToBool(ReadSetting(SettingsApplication, SettingsSection, key, BoolToSetting(defaultValue)),
                         defaultValue);
}

bool writeBoolSetting(const QString &key, bool value)
{
    return WriteSetting(SettingsApplication, SettingsSection, key, BoolToSetting(value));
}

bool readFadeStatus()
{
    return readBoolSetting(KeyFadeStatus, false);
}

bool readSoundStatus()
{
    return readBoolSetting(KeySoundStatus, true);
}

QString readNewUser()
{
    return ReadSetting(SettingsApplication, SettingsSection, KeyNewUser);
}

bool writeNewUser(const QString &value)
{
    return WriteSetting(SettingsApplication, SettingsSection, KeyNewUser, value);
}

bool newUserNoticeWanted()
{
    return readNewUser() != NewUserNoShow;
}

} // namespace basBrivamo
