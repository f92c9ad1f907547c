#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The options every run understands before anything else starts: --help and --version, and the
// check of the arguments that open the windows.
namespace brivamo {

// What `brivamo --help` prints: the usage of every option and the exit statuses.
QString UsageText();

// What `brivamo --version` prints: the program's name and version.
QString VersionText();

// Answers --help or --version (wherever they stand) on the standard output and returns the exit
// status; returns nothing when the arguments ask for neither.
std::optional<int> RunInformationOption(int argc, char *argv[]);

// For a run that opens the windows: a one-line reason naming the first argument the program does
// not know, or an empty string when it knows them all. Qt's own options must already be removed.
QString UnknownWindowArgument(const QStringList &arguments);

// The same for "--name" options only, before Qt has seen the arguments (so that a mistyped option
// is reported even where no display can be opened): Qt's own long options are let through.
QString UnknownLongOption(int argc, char *argv[]);

} // namespace brivamo
