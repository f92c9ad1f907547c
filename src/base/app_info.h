#pragma once

#include <QString>

namespace brivamo {

// The application title: settings name, first word of captions and of start-up and quit messages.
inline const QString AppTitle = QStringLiteral("Brivamo");

constexpr int VersionMajor = 4;
constexpr int VersionMinor = 48;
constexpr int VersionRevision = 19;

// The file description of the version information.
inline const QString FileDescription = QStringLiteral("Word Puzzle Maker");

} // namespace brivamo
