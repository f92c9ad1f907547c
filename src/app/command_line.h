#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The program's arguments before anything else starts: --help and --version, the choice between
// the windows and the headless --make, and the arguments of a run that opens the windows. None of
// the user's arguments reaches Qt's own parser unchecked.
namespace brivamo {

// Whether a Wayland compositor answers where Qt would look for it (WAYLAND_DISPLAY, or
// wayland-0, in XDG_RUNTIME_DIR).
bool WaylandDisplayAnswers();

// What `brivamo --help` prints: the usage of every option and the exit statuses.
QString UsageText();

// What `brivamo --version` prints: the program's name and version.
QString VersionText();

// The arguments after the program's name, as given.
QList<QByteArray> ProgramArguments(int argc, char *argv[]);

// The arguments that stand as options: not the value of the option before them (an option that
// takes a value takes the next argument, whatever it looks like), and not after "--".
QList<QByteArray> OptionsAmong(const QList<QByteArray> &arguments);

// Answers --help or --version (wherever they stand as options) on the standard output and returns
// the exit status; returns nothing when the arguments ask for neither.
std::optional<int> RunInformationOption(const QList<QByteArray> &arguments);

// True when the arguments ask for headless puzzle making (--make ...).
bool IsMakeCommand(const QList<QByteArray> &arguments);

// A run that opens the windows, as its arguments ask for it.
struct WindowArguments
{
    QString error;                 // a one-line reason to end with status 2 (an unknown option, say)
    QString platformProblem;       // a one-line reason to end with status 1 (a platform that cannot work)
    bool listsHome = false;        // --lists-home
    QByteArray platform;           // Qt's -platform, to be set as QT_QPA_PLATFORM; empty when not given
    QByteArray display;            // Qt's -display, to be set as DISPLAY; empty when not given
    QList<QByteArray> qtArguments; // Qt's other options, each checked, to hand to Qt
};

// Reads the arguments of a run that opens the windows: --lists-home and Qt's own window options
// (with one dash or two, "-name value" or "-name=value"); an option that makes Qt read a file takes
// only a regular file of at most 1 MiB. The platforms the windows can use, given with -platform or
// else in QT_QPA_PLATFORM, are xcb, wayland (when its display answers), offscreen and minimal.
WindowArguments ParseWindowArguments(const QList<QByteArray> &arguments);

} // namespace brivamo
