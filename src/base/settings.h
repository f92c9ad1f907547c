#pragma once

#include <QString>

#include <optional>

// The per-user settings store. Values are text, kept in the INI file
// $XDG_CONFIG_HOME/Brivamo/<application>.conf under the section [Defaults].
// Everything here lives in namespace basBrivamo.

namespace basBrivamo {

inline const QString SettingsApplication = QStringLiteral("Brivamo");
inline const QString SettingsSection = QStringLiteral("Defaults");

inline const QString KeyNewUser = QStringLiteral("NewUser");
inline const QString KeyFadeStatus = QStringLiteral("FadeStatus");
inline const QString KeySoundStatus = QStringLiteral("SoundStatus");
inline const QString KeyLevel = QStringLiteral("Level");

// The only "NewUser" value that suppresses the new-user notice (compared case-sensitively).
inline const QString NewUserNoShow = QStringLiteral("NoShow");

// The stored value, or `defaultValue` when the key is absent.
QString ReadSetting(const QString &application, const QString &section, const QString &key,
                    const QString &defaultValue = QString());

// Stores `value`, creating the section and key as needed. Returns false when the store could
// not be written (callers may ignore this: a lost choice is not worth interrupting the user).
bool WriteSetting(const QString &application, const QString &section, const QString &key,
                  const QString &value);

// "True"/"False" in any letter case, or a number (non-zero is true). Surrounding spaces are
// ignored. Anything else has no Boolean meaning and gives nullopt.
std::optional<bool> SettingToBool(const QString &text);

// As above, with `defaultValue` for text without a Boolean meaning.
bool SettingToBool(const QString &text, bool defaultValue);

// Exactly "True" or "False".
QString BoolToSetting(bool value);

// The folder that holds the application's settings file (and files the user keeps beside it).
QString SettingsFolder();

// Typed helpers over the application's own section.
bool readBoolSetting(const QString &key, bool defaultValue);
bool writeBoolSetting(const QString &key, bool value);

// "FadeStatus": off when absent.
bool readFadeStatus();
// "SoundStatus": on when absent.
bool readSoundStatus();

// "NewUser": empty when absent.
QString readNewUser();
bool writeNewUser(const QString &value);
// True unless "NewUser" holds exactly "NoShow".
bool newUserNoticeWanted();

} // namespace basBrivamo
