#include "app/command_line.h"

#include "app/lists_home.h"
#include "base/app_info.h"

#include <cstdio>
#include <cstring>

namespace brivamo {

QString UsageText()
{
    return QStringLiteral(
        "Usage: brivamo [--lists-home]\n"
        "       brivamo --make CATEGORY [--size N] [--count K] [--seed S] [--quiet]\n"
        "               [--message TEXT]\n"
        "       brivamo --make CATEGORY [--size N] [--count K] [--seed S] [--quiet]\n"
        "               --pdf FILE [--solution] [--dedication NAME]\n"
        "       brivamo --make CATEGORY [--size N] [--count K] [--seed S] [--quiet]\n"
        "               --print [--printer QUEUE] [--solution] [--dedication NAME]\n"
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
        "  --quiet             leave the grids out of the standard output\n"
        "  --message TEXT      hide TEXT in the fill: read row by row, the letters no\n"
        "                      word uses spell it (the solution page shows it)\n"
        "  --pdf FILE          write the puzzle page into the PDF file FILE\n"
        "  --print             print the puzzle page on the default printer\n"
        "  --printer QUEUE     with --print, print on the printer QUEUE instead\n"
        "  --solution          with --pdf or --print, add the solution page\n"
        "  --dedication NAME   with --pdf or --print, make the puzzle page \"especially\n"
        "                      for NAME\"\n"
        "  --help              show this help and exit\n"
        "  --version           show the program's name and version and exit\n"
        "\n"
        "Exit status: 0 every puzzle was made; 2 bad arguments, or a list that is\n"
        "missing, empty or unusable; 3 a puzzle was given up; 4 the PDF file could not\n"
        "be written, no printer exists or the print job failed.\n"
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

std::optional<int> RunInformationOption(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        QString text;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            text = UsageText();
        else if (std::strcmp(argv[i], "--version") == 0)
            text = VersionText();
        else
            continue;
        const QByteArray bytes = text.toUtf8();
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
        // A closed or full output (brivamo --help >/dev/full) is a failure, not a success.
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    return std::nullopt;
}

QString UnknownWindowArgument(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (argument == basBrivamo::ListsHomeOption)
            continue;
        if (argument.startsWith(u'-'))
            return QStringLiteral("Unknown option %1. Try brivamo --help.").arg(argument);
        return QStringLiteral("Unexpected argument \"%1\". Try brivamo --help.").arg(argument);
    }
    return {};
}

QString UnknownLongOption(int argc, char *argv[])
{
    // Qt reads its options with one dash or two, some as "-name=value".
    static const QStringList qtOptions =
        QStringLiteral("style stylesheet widgetcount reverse qmljsdebugger platform platformpluginpath "
                       "platformtheme plugin qwindowgeometry qwindowicon qwindowtitle session display "
                       "geometry title icon name visual dialogs fontengine nograb dograb testability")
            .split(u' ');
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (!argument.startsWith(QLatin1String("--")) || argument == basBrivamo::ListsHomeOption)
            continue;
        if (!qtOptions.contains(argument.mid(2).section(u'=', 0, 0)))
            return UnknownWindowArgument({argument});
    }
    return {};
}

} // namespace brivamo
