// libFuzzer target: any bytes as a list file. Reading never fails unexpectedly, a rewrite reads
// back as the same words (and rewriting again gives the same bytes), validation accepts only
// what it should, and the words that pass make a puzzle that holds every one of them.

#include "generator/puzzle_generator.h"
#include "wordlists/validation.h"
#include "wordlists/word_list.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

using namespace brivamo;

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

QByteArray fileBytes(const QDir &folder)
{
    QFile file(folder.filePath(QStringLiteral("Fuzz.lst")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

bool isPlainWord(const QString &word)
{
    if (word.size() < modSupport::WordMinLength || word.size() > modSupport::WordMaxLength)
        return false;
    return std::all_of(word.cbegin(), word.cend(), [](QChar c) { return c >= u'A' && c <= u'Z'; });
}

// An independent scan: is `word` readable in the puzzle layer in any of the eight directions?
bool readable(const PuzzleGrid &grid, const QString &word)
{
    const int side = grid.side();
    for (int row = 1; row <= side; ++row)
        for (int column = 1; column <= side; ++column)
            for (int dr = -1; dr <= 1; ++dr)
                for (int dc = -1; dc <= 1; ++dc) {
                    if (dr == 0 && dc == 0)
                        continue;
                    int k = 0;
                    for (; k < word.size(); ++k) {
                        const int r = row + k * dr;
                        const int c = column + k * dc;
                        if (r < 1 || c < 1 || r > side || c > side || grid.puzzle(r, c) != word.at(k))
                            break;
                    }
                    if (k == word.size())
                        return true;
                }
    return false;
}

void checkPuzzle(const QStringList &listed, std::uint32_t seed)
{
    // A few words keep each run fast; ten failed attempts on a crowded square take long.
    constexpr qsizetype MostWords = 6;
    QStringList words;
    for (const QString &word : listed)
        if (isPlainWord(word) && words.size() < MostWords)
            words.append(word);
    if (words.isEmpty())
        return;
    SortWordsLongestFirst(words);
    const int side = std::max<int>(int(words.first().size()), 12);
    PuzzleGrid grid(side);
    SilentPuzzleHost host;
    modStandard::SeededRandomSource random(seed);
    if (MakePuzzle(grid, words, side, host, random) != PuzzleOutcome::Completed)
        return;
    for (int row = 1; row <= side; ++row)
        for (int column = 1; column <= side; ++column) {
            const QChar cell = grid.puzzle(row, column);
            if (cell < u'A' || cell > u'Z')
                fail("a puzzle cell that is not a capital letter");
            const QChar solution = grid.solution(row, column);
            if (solution != PuzzleGrid::Dot && solution != cell)
                fail("the solution differs from the puzzle");
        }
    for (const QString &word : words)
        if (!readable(grid, word))
            fail("a word of the list cannot be found in its puzzle");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_word_list";
    static char *argv[] = {name, nullptr};
    static QCoreApplication application(argc, argv);
    // In memory where possible: every save syncs its file, which a disk makes slow.
    static QTemporaryDir temporary(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/brivamo-fuzz-XXXXXX")
                                       : QDir::tempPath() + QStringLiteral("/brivamo-fuzz-XXXXXX"));
    const QDir folder(temporary.path());

    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        QFile file(folder.filePath(QStringLiteral("Fuzz.lst")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            fail("the input could not be stored");
    }
    const WordListResult read = modSupport::ReadWordList(QStringLiteral("Fuzz"), folder);
    if (!read.ok()) {
        if (!read.list.words.isEmpty())
            fail("a failed read returned words");
        return 0;
    }
    for (const QString &word : read.list.words) {
        if (word.trimmed().isEmpty())
            fail("a blank line was read as a word");
        const bool valid =
            modSupport::ValidateEntry(word, modSupport::WordMinLength, modSupport::WordMaxLength).valid;
        // Letters A to Z in either case, one character each: a sharp s or a dotless i does not
        // become a plain letter by upper-casing.
        bool asciiLetters =
            word.size() >= modSupport::WordMinLength && word.size() <= modSupport::WordMaxLength;
        for (const QChar c : word)
            asciiLetters = asciiLetters && ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'));
        if (valid != asciiLetters)
            fail("validation disagrees with the letters A to Z");
    }

    if (!modSupport::WriteWordList(QStringLiteral("Fuzz"), read.list.words, folder).ok())
        fail("a list that was read could not be written back");
    const QByteArray written = fileBytes(folder);
    const WordListResult again = modSupport::ReadWordList(QStringLiteral("Fuzz"), folder);
    if (!again.ok() || again.list.words != read.list.words)
        fail("a rewritten list reads back differently");
    if (!modSupport::WriteWordList(QStringLiteral("Fuzz"), again.list.words, folder).ok() ||
        fileBytes(folder) != written)
        fail("rewriting an unchanged list changed its bytes");

    std::uint32_t seed = 0;
    for (std::size_t i = 0; i < std::min<std::size_t>(size, 4); ++i)
        seed = seed << 8 | data[i];
    checkPuzzle(read.list.words, seed);
    return 0;
}
