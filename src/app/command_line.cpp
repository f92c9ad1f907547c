#include "app/command_line.h"

#include "app/lists_home.h"
#include "app/make_options.h"
#include "base/app_info.h"
#include "platform/file_names.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace brivamo {

namespace {

// Qt's window options that the program hands on, whether each takes a value and whether Qt reads
// that value as a file.
struct QtOption
{
    const char *name;
    bool takesValue;
    bool readsFile = false;
};

constexpr QtOption QtOptions[] = {
    {"platform", true},
    {"display", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"style", true},
    {"stylesheet", true, true},
    {"session", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true, true},
    {"qwindowtitle", true},
    {"geometry", true},
    {"title", true},
    {"icon", true, true},
    {"name", true},
    {"visual", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"testability", false},
};

// Qt reads such a file whole and waits for it to end: a device or a pipe would never let it start.
constexpr qint64 MaxQtFileSize = 1024 * 1024;

bool isSmallRegularFile(const QByteArray &path)
{
    struct stat info
    {
    };
    return ::stat(path.constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= MaxQtFileSize;
}

// The Qt option `argument` names ("-style", "--style" or "-style=fusion"), if any.
const QtOption *qtOptionFor(const QByteArray &argument)
{
    if (!argument.startsWith('-'))
        return nullptr;
    QByteArray name = argument.mid(argument.startsWith("--") ? 2 : 1);
    if (const qsizetype equals = name.indexOf('='); equals >= 0)
        name.truncate(equals);
    for (const QtOption &option : QtOptions)
        if (name == option.name)
            return &option;
    return nullptr;
}

// True when the argument after `argument` is its value.
bool takesNextArgument(const QByteArray &argument)
{
    if (MakeOptionTakesValue(argument))
        return true;
    const QtOption *option = qtOptionFor(argument);
    return option && option->takesValue && !argument.contains('=');
}

// Why the windows cannot be shown on `platforms` (Qt's platform names, each perhaps with its own
// options after a colon, separated by semicolons: Qt tries one after the other), or an empty
// string. Qt ends the whole program when a platform cannot start, so only platforms that can be
// checked first are taken.
QString platformProblem(const QByteArray &platforms)
{
    for (const QByteArray &platform : platforms.split(';')) {
        const QByteArray name = platform.split(':').first();
        if (name.isEmpty() || name == "xcb" || name == "offscreen" || name == "minimal")
            continue;
        if (name != "wayland")
            return QStringLiteral("The windows cannot be shown on the platform \"%1\"; use xcb, wayland, "
                                  "offscreen or minimal.")
                .arg(DecodeFileName(platform));
        if (!WaylandDisplayAnswers())
            return QStringLiteral("No Wayland display answers for the platform wayland.");
    }
    return {};
}

QString tryHelp(const QString &reason)
{
    return reason + QStringLiteral(" Try brivamo --help.");
}

} // namespace

bool WaylandDisplayAnswers()
{
    QByteArray socketPath = qgetenv("WAYLAND_DISPLAY");
    if (socketPath.isEmpty())
        socketPath = "wayland-0";
    if (!socketPath.startsWith('/'))
        socketPath = qgetenv("XDG_RUNTIME_DIR") + '/' + socketPath;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= qsizetype(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool connected = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return connected;
}

QString UsageText()
{
    return QStringLiteral(
        "Usage: brivamo [--lists-home]\n"
        "       brivamo --make CATEGORY [--size N] [--count K] [--seed S] [--level L]\n"
        "               [--quiet] [--message TEXT]\n"
        "       brivamo --make CATEGORY [--size N] [--count K] [--seed S] [--level L]\n"
        "               [--quiet] [--message TEXT] [--pdf FILE] [--png FILE] [--svg FILE]\n"
        "               [--paper a4|letter] [--solution] [--dedication NAME]\n"
        "               [--key dots|outline] [--large-print]\n"
        "       brivamo --make CATEGORY [--size N] [--count K] [--seed S] [--level L]\n"
        "               [--quiet] [--message TEXT] --print [--printer QUEUE] [--solution]\n"
        "               [--dedication NAME] [--key dots|outline] [--large-print]\n"
        "       brivamo --help | --version\n"
        "\n"
        "Without --make, opens the puzzle maker's windows on the word lists (*.lst) of the\n"
        "current folder.\n"
        "\n"
        "  --lists-home        keep the lists in $XDG_DATA_HOME/Brivamo/lists\n"
        "                      (~/.local/share/Brivamo/lists), as the desktop menu does\n"
        "  --make CATEGORY     make puzzles from the list CATEGORY of the current folder,\n"
        "                      without any window; the grids go to the standard output\n"
        "  --size N            side of the square, from the longest word's length to 30\n"
        "                      (default 30)\n"
        "  --count K           make K puzzles in a row; with --pdf or --print, a class\n"
        "                      set of K different puzzles in one file or print job\n"
        "  --seed S            repeat a run: seed the random sequence with S\n"
        "                      (0 to 4294967295)\n"
        "  --level L           easy: words read left to right or downwards; medium: also\n"
        "                      diagonally to the right; hard: in all eight directions\n"
        "                      (default hard)\n"
        "  --quiet             leave the grids out of the standard output\n"
        "  --message TEXT      hide TEXT in the fill: read row by row, the letters no\n"
        "                      word uses spell it (the solution page shows it)\n"
        "  --pdf FILE          write the puzzle page into the PDF file FILE, on the\n"
        "                      system's paper (see --paper)\n"
        "  --png FILE          write the puzzle page as a PNG image (300 dpi) into FILE;\n"
        "                      other pages add \"-solution\" and a set's numbers to it\n"
        "  --svg FILE          write the pages as SVG images, named as for --png\n"
        "  --paper a4|letter   with --pdf, --png or --svg, use this paper; without it,\n"
        "                      the paper PAPERSIZE names, else the file PAPERCONF\n"
        "                      names or /etc/papersize, else the locale's LC_PAPER,\n"
        "                      else A4\n"
        "  --print             print the puzzle page on the default printer\n"
        "  --printer QUEUE     with --print, print on the printer QUEUE instead\n"
        "  --solution          with any pages, add the solution page\n"
        "  --dedication NAME   with any pages, make the puzzle page \"especially for NAME\"\n"
        "  --key dots|outline  the solution page keeps the words' letters among dots\n"
        "                      (default), or outlines each word on the whole puzzle\n"
        "  --large-print       the square as wide as the page allows, square cells of at\n"
        "                      most 0.4 in with centred letters, larger words\n"
        "  --help              show this help and exit\n"
        "  --version           show the program's name and version and exit\n"
        "\n"
        "An option's value is the argument after it, whatever it looks like; -- ends\n"
        "the options.\n"
        "\n"
        "Exit status: 0 every puzzle was made; 1 the windows cannot start; 2 bad\n"
        "arguments, or a list that is missing, empty or unusable; 3 a puzzle was given\n"
        "up; 4 a PDF or image file could not be written, no printer exists, the print\n"
        "server does not answer or the print job failed.\n"
        "\n"
        "See brivamo(1) for more.\n");
}

QString VersionText()
{
    return QStringLiteral("%1 %2.%3.%4\n")
        .arg(AppTitle)
        .arg(VersionMajor)
        .arg(VersionMinor)
        .arg(VersionRevision);
}

QList<QByteArray> ProgramArguments(int argc, char *argv[])
{
    QList<QByteArray> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QByteArray(argv[i]));
    return arguments;
}

QList<QByteArray> OptionsAmong(const QList<QByteArray> &arguments)
{
    QList<QByteArray> options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--")
            break;
        options.append(arguments[i]);
        if (takesNextArgument(arguments[i]))
            ++i;
    }
    return options;
}

std::optional<int> RunInformationOption(const QList<QByteArray> &arguments)
{
    for (const QByteArray &option : OptionsAmong(arguments)) {
        QString text;
        if (option == "--help" || option == "-h")
            text = UsageText();
        else if (option == "--version")
            text = VersionText();
        else
            continue;
        const QByteArray bytes = text.toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        // A closed or full output (brivamo --help >/dev/full) is a failure, not a success, and says so.
        if (std::fflush(stdout) == 0 && !std::ferror(stdout))
            return 0;
        std::fprintf(stderr, "brivamo: Cannot write to the standard output: %s.\n", std::strerror(errno));
        return 1;
    }
    return std::nullopt;
}

bool IsMakeCommand(const QList<QByteArray> &arguments)
{
    return OptionsAmong(arguments).contains("--make");
}

WindowArguments ParseWindowArguments(const QList<QByteArray> &arguments)
{
    WindowArguments result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QByteArray &argument = arguments[i];
        const QString text = DecodeFileName(argument);
        if (argument == "--") {
            if (i + 1 < arguments.size())
                result.error = tryHelp(
                    QStringLiteral("Unexpected argument \"%1\".").arg(DecodeFileName(arguments[i + 1])));
            return result;
        }
        if (text == basBrivamo::ListsHomeOption) {
            result.listsHome = true;
            continue;
        }
        const QtOption *option = qtOptionFor(argument);
        if (!option) {
            result.error = argument.startsWith('-') && argument.size() > 1
                               ? tryHelp(QStringLiteral("Unknown option %1.").arg(text))
                               : tryHelp(QStringLiteral("Unexpected argument \"%1\".").arg(text));
            return result;
        }
        const QByteArray name = QByteArray("-") + option->name;
        if (!option->takesValue) {
            if (argument.contains('=')) {
                result.error = tryHelp(QStringLiteral("%1 takes no value.").arg(QLatin1String(name)));
                return result;
            }
            result.qtArguments.append(name);
            continue;
        }
        QByteArray value;
        if (const qsizetype equals = argument.indexOf('='); equals >= 0) {
            value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            result.error = tryHelp(QStringLiteral("%1 needs a value.").arg(text));
            return result;
        }
        if (option->readsFile && !isSmallRegularFile(value)) {
            result.error = tryHelp(QStringLiteral("%1 takes a file of at most 1 MiB, not \"%2\".")
                                       .arg(QLatin1String(name), DecodeFileName(value)));
            return result;
        }
        if (name == "-platform")
            result.platform = value;
        else if (name == "-display")
            result.display = value;
        else
            result.qtArguments << name << value;
    }
    // Qt takes the platform from the environment where no -platform is given.
    result.platformProblem =
        platformProblem(result.platform.isEmpty() ? qgetenv("QT_QPA_PLATFORM") : result.platform);
    return result;
}

} // namespace brivamo
