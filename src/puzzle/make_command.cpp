#include "puzzle/make_command.h"

#include "puzzle/make_options.h"
#include "puzzle/puzzle_generator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace brivamo {

namespace {

void printLine(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

int refuse(const QString &reason)
{
    printLine(stderr, QStringLiteral("brivamo: ") + reason);
    return 2;
}

// The list file of a category in the current folder, its name matched without regard to case
// (an exact spelling wins). Empty when there is none.
QString findListFile(const QString &category)
{
    const QString wanted = category + QStringLiteral(".lst");
    const QStringList files = QDir::current().entryList(QDir::Files, QDir::Name);
    if (files.contains(wanted))
        return wanted;
    for (const QString &file : files)
        if (file.compare(wanted, Qt::CaseInsensitive) == 0)
            return file;
    return {};
}

// One word per line; a line ends at CR LF, CR or LF.
bool readListFile(const QString &fileName, QStringList &words)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    QString text = QString::fromLocal8Bit(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    words = text.isEmpty() && bytes.isEmpty() ? QStringList() : text.split(u'\n');
    return true;
}

void printLayers(const PuzzleGrid &grid)
{
    QString text;
    for (int row = 1; row <= grid.side(); ++row)
        text += grid.puzzleRow(row) + u'\n';
    text += u'\n';
    for (int row = 1; row <= grid.side(); ++row)
        text += grid.solutionRow(row) + u'\n';
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    printLine(stdout, QString());
}

} // namespace

bool isMakeCommand(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--make") == 0)
            return true;
    return false;
}

int runMakeCommand(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    MakeOptions options;
    if (const QString error = ParseMakeArguments(arguments, options); !error.isEmpty())
        return refuse(error);

    const QString fileName = findListFile(options.category);
    if (fileName.isEmpty())
        return refuse(QStringLiteral("no list file for the category %1 in %2")
                          .arg(options.category, QDir::toNativeSeparators(QDir::currentPath())));
    QStringList words;
    if (!readListFile(fileName, words))
        return refuse(QStringLiteral("cannot read %1").arg(fileName));
    if (words.isEmpty())
        return refuse(QStringLiteral("%1 holds no words").arg(fileName));
    if (words.contains(QString()))
        return refuse(QStringLiteral("%1 holds an empty line").arg(fileName));

    SortWordsLongestFirst(words);
    const int longest = static_cast<int>(words.first().size());
    if (longest > PuzzleGrid::MaxSide)
        return refuse(
            QStringLiteral("%1 is longer than %2 letters").arg(words.first()).arg(PuzzleGrid::MaxSide));
    if (options.side < longest)
        return refuse(QStringLiteral("the square size must lie between %1 and %2")
                          .arg(longest)
                          .arg(PuzzleGrid::MaxSide));

    std::unique_ptr<modStandard::SeededRandomSource> seeded;
    if (options.seed)
        seeded = std::make_unique<modStandard::SeededRandomSource>(*options.seed);
    modStandard::RandomSource &random = seeded ? *seeded : modStandard::ProgramRandomSource();

    SilentPuzzleHost host;
    auto grid = std::make_unique<PuzzleGrid>(options.side);
    int completed = 0;
    int givenUp = 0;
    qint64 nanoseconds = 0;
    for (int i = 0; i < options.count; ++i) {
        QElapsedTimer timer;
        timer.start();
        const PuzzleOutcome outcome = MakePuzzle(*grid, words, options.side, host, random);
        nanoseconds += timer.nsecsElapsed();
        if (outcome == PuzzleOutcome::Completed) {
            ++completed;
            if (!options.quiet)
                printLayers(*grid);
        } else {
            ++givenUp;
        }
    }
    std::fflush(stdout);
    printLine(stderr, QStringLiteral("%1 puzzles, %2 completed, %3 given up, %4 ms")
                          .arg(options.count)
                          .arg(completed)
                          .arg(givenUp)
                          .arg(std::llround(static_cast<double>(nanoseconds) / 1e6)));
    return givenUp == 0 ? 0 : 3;
}

} // namespace brivamo
