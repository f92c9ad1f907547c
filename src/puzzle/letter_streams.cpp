#include "puzzle/letter_streams.h"

#include "puzzle/blocked_words.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

namespace brivamo {

namespace {

char16_t folded(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= u'a' && u <= u'z' ? char16_t(u - (u'a' - u'A')) : u;
    return c.toUpper().unicode();
}

} // namespace

ListCodes::ListCodes(const QStringList &words, const QStringList &blocked)
    : m_words(words), m_blockedSource(blocked), m_alphabet(FillAlphabetFor(words))
{
    auto addOther = [this](char16_t c) {
        if (!(c >= u'A' && c <= u'Z') && std::find(m_others.begin(), m_others.end(), c) == m_others.end())
            m_others.push_back(c);
    };
    for (const QString &word : words)
        for (QChar c : word)
            addOther(c.unicode());
    for (char16_t c : m_alphabet.letters)
        addOther(c);
    m_codeCount = 27 + static_cast<int>(m_others.size()) + 1;
    for (int i = 0; i < m_alphabet.size(); ++i)
        m_fillCodes.push_back(codeOf(fillLetter(i)));

    // A blocked word with a letter the square can never hold cannot be read in it.
    auto readable = [this](const QString &word) {
        return std::all_of(word.begin(), word.end(), [this](QChar c) {
            return std::find(m_alphabet.letters.begin(), m_alphabet.letters.end(), c.unicode()) !=
                   m_alphabet.letters.end();
        });
    };
    QStringList kept;
    for (const QString &word : BlockedWordsFor(blocked, words))
        if (word.size() <= PuzzleGrid::MaxSide && readable(word))
            kept << word;
    // A blocked word holding another (forwards or backwards) can only be read where that one
    // is: the guard need not look for it, and its automaton and reach stay smaller.
    std::stable_sort(kept.begin(), kept.end(),
                     [](const QString &a, const QString &b) { return a.size() < b.size(); });
    for (const QString &word : kept) {
        QString reversed = word;
        std::reverse(reversed.begin(), reversed.end());
        const bool holdsOne = std::any_of(m_blocked.begin(), m_blocked.end(), [&](const QString &shorter) {
            return word.contains(shorter) || reversed.contains(shorter);
        });
        if (!holdsOne)
            m_blocked << word;
    }
}

ListCodes::~ListCodes() = default;

std::uint16_t ListCodes::otherCode(QChar c) const
{
    const auto found = std::find(m_others.begin(), m_others.end(), c.unicode());
    return found == m_others.end() ? separator()
                                   : static_cast<std::uint16_t>(27 + (found - m_others.begin()));
}

const ListCodes::WordCodes &ListCodes::wordMade(int i) const
{
    m_wordCodes.reserve(static_cast<std::size_t>(m_words.size()));
    while (static_cast<int>(m_wordCodes.size()) <= i) {
        const QString &word = m_words[static_cast<qsizetype>(m_wordCodes.size())];
        WordCodes &codes = m_wordCodes.emplace_back();
        const auto length = static_cast<int>(word.size());
        if (length > PuzzleGrid::MaxSide)
            continue;
        for (int k = 0; k < length; ++k) {
            codes.forwards[k] = codeOf(word[k]);
            codes.backwards[length - 1 - k] = codes.forwards[k];
        }
    }
    return m_wordCodes[static_cast<std::size_t>(i)];
}

void ListCodes::makeAutomaton() const
{
    m_automaton = std::make_unique<ReadingAutomaton>(m_words, m_blocked, *this);
}

ReadingAutomaton::ReadingAutomaton(const QStringList &words, const QStringList &blocked,
                                   const ListCodes &list)
    : m_codeCount(list.codeCount())
{
    const int codes = m_codeCount;
    // Codes whose characters the solver reads alike step alike: each steps as the first code
    // of its kind, the only one the patterns use.
    std::vector<int> kind(codes);
    for (int code = 0; code < codes; ++code)
        kind[code] = code;
    std::vector<char16_t> foldedOf(codes, 0);
    for (int letter = 0; letter < 26; ++letter)
        foldedOf[ListCodes::letterCode(letter)] = static_cast<char16_t>(u'A' + letter);
    for (std::size_t i = 0; i < list.m_others.size(); ++i)
        foldedOf[27 + i] = folded(QChar(list.m_others[i]));
    for (int code = 1; code < codes - 1; ++code)
        for (int earlier = 1; earlier < code; ++earlier)
            if (foldedOf[earlier] == foldedOf[code]) {
                kind[code] = earlier;
                break;
            }
    // Trie of the patterns: child[state * codes + code], 0 for none (the root has no parent).
    std::vector<int> child(codes, 0);
    std::vector<std::vector<Ending>> ends(1);
    // Whether a state lies near the root or on a listed word's way: those are the ones a scan
    // mostly visits (random letters, and the placed words' own letters).
    std::vector<char> visited(1, 1);
    int states = 1;
    auto has = [](const std::vector<Ending> &e, int length) {
        return std::any_of(e.begin(), e.end(), [length](const Ending &x) { return x.length == length; });
    };
    auto add = [&](const std::vector<int> &pattern, bool isBlocked, int word) {
        int state = 0;
        for (std::size_t depth = 1; depth <= pattern.size(); ++depth) {
            const std::size_t at = static_cast<std::size_t>(state) * codes + pattern[depth - 1];
            if (child[at] == 0) {
                child[at] = states++;
                child.resize(static_cast<std::size_t>(states) * codes, 0);
                ends.emplace_back();
                visited.push_back(0);
            }
            state = child[at];
            visited[state] |= static_cast<char>(!isBlocked || depth <= 2);
        }
        // Listed words come first, so a text both listed and blocked counts as listed.
        if (!has(ends[state], static_cast<int>(pattern.size())))
            ends[state].push_back({static_cast<int>(pattern.size()), isBlocked, word});
    };
    std::vector<std::vector<int>> patterns;
    auto addBothWays = [&](const QStringList &texts, bool isBlocked) {
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QString &word = texts[i];
            const int number = isBlocked ? -1 : static_cast<int>(i);
            if (word.isEmpty() || word.size() > PuzzleGrid::MaxSide)
                continue;
            m_longest = std::max(m_longest, static_cast<int>(word.size()));
            m_shortest = std::min(m_shortest, static_cast<int>(word.size()));
            std::vector<int> pattern;
            for (QChar c : word)
                pattern.push_back(kind[list.codeOf(c)]);
            add(pattern, isBlocked, number);
            patterns.push_back(pattern);
            std::reverse(pattern.begin(), pattern.end());
            add(pattern, isBlocked, number);
            patterns.push_back(pattern);
        }
    };
    addBothWays(words, false);
    addBothWays(blocked, true);

    // Breadth first: failure links, full transitions, and the lengths ending in each state
    // (its own and its longest proper suffix's). A code no pattern uses leads back to the root.
    std::vector<int> delta(static_cast<std::size_t>(states) * codes, 0);
    std::vector<int> fail(states, 0);
    std::vector<int> order{0};
    for (std::size_t i = 0; i < order.size(); ++i) {
        const int state = order[i];
        if (state != 0)
            for (const Ending &ending : ends[fail[state]])
                if (!has(ends[state], ending.length))
                    ends[state].push_back(ending);
        for (int code = 0; code < codes; ++code) {
            const int c = child[static_cast<std::size_t>(state) * codes + code];
            const int viaFail = state == 0 ? 0 : delta[static_cast<std::size_t>(fail[state]) * codes + code];
            if (c != 0) {
                fail[c] = viaFail;
                delta[static_cast<std::size_t>(state) * codes + code] = c;
                order.push_back(c);
            } else {
                delta[static_cast<std::size_t>(state) * codes + code] = viaFail;
            }
        }
    }

    // Renumber: states without readings first, the often visited before the rest and each kind
    // nearest the root first, so that the states a scan mostly stays in share the fewest cache
    // lines (the blocked words' many others would scatter them).
    std::vector<int> number(states);
    int n = 0;
    for (const char often : {1, 0})
        for (const int state : order)
            if (ends[state].empty() && visited[state] == often)
                number[state] = n++;
    m_firstReading = static_cast<std::uint32_t>(n) * codes;
    for (const char often : {1, 0})
        for (const int state : order)
            if (!ends[state].empty() && visited[state] == often) {
                number[state] = n++;
                m_endingsFrom.push_back(static_cast<std::uint32_t>(m_endings.size()));
                m_endings.insert(m_endings.end(), ends[state].begin(), ends[state].end());
            }
    m_endingsFrom.push_back(static_cast<std::uint32_t>(m_endings.size()));
    m_codeShift = std::countr_zero(static_cast<unsigned>(codes));
    const std::uint32_t odd = static_cast<std::uint32_t>(codes) >> m_codeShift;
    for (int step = 0; step < 5; ++step) // Newton's iteration doubles the correct low bits
        m_oddInverse *= 2 - odd * m_oddInverse;
    m_next.assign(static_cast<std::size_t>(states) * codes, 0);
    for (int state = 0; state < states; ++state)
        for (int code = 0; code < codes; ++code)
            m_next[static_cast<std::size_t>(number[state]) * codes + code] = static_cast<std::uint32_t>(
                number[delta[static_cast<std::size_t>(state) * codes + kind[code]]] * codes);
    if (m_next.size() <= 0x10000)
        m_compactNext.assign(m_next.begin(), m_next.end());

    // 64 codes make a table of 32 KiB; A to Z alone, 4 KiB.
    if (codes <= 64 && m_shortest >= 3) {
        std::vector<std::vector<int>> codesOfKind(codes);
        for (int code = 0; code < codes; ++code)
            codesOfKind[kind[code]].push_back(code);
        m_tripleBits = std::bit_width(static_cast<unsigned>(codes - 1));
        m_triples.assign(((std::size_t(1) << (3 * m_tripleBits)) + 63) / 64, 0);
        for (const std::vector<int> &pattern : patterns)
            for (std::size_t k = 0; k + 2 < pattern.size(); ++k)
                for (int a : codesOfKind[pattern[k]])
                    for (int b : codesOfKind[pattern[k + 1]])
                        for (int c : codesOfKind[pattern[k + 2]]) {
                            const auto index =
                                static_cast<std::size_t>((((a << m_tripleBits) | b) << m_tripleBits) | c);
                            m_triples[index / 64] |= std::uint64_t(1) << (index % 64);
                        }
    }
}

StreamLayout::StreamLayout(int side) : side(side)
{
    for (auto &cells : cellAt)
        cells.fill(SeparatorCell);
    for (int orientation = 0; orientation < Orientations; ++orientation) {
        // The line of a cell, numbered so that the cells along it come in stream order.
        auto lineIndex = [&](int row, int column) {
            switch (orientation) {
            case 0:
                return row;
            case 1:
                return column;
            case 2:
                return column - row + side - 1;
            default:
                return row + column;
            }
        };
        int at = 0;
        for (int line = 0; line < lineCount(orientation); ++line) {
            for (int row = 0; row < side; ++row)
                for (int column = 0; column < side; ++column)
                    if (lineIndex(row, column) == line) {
                        const int cell = row * PuzzleGrid::Stride + column;
                        position[orientation][cell] = static_cast<std::uint16_t>(at);
                        cellAt[orientation][at++] = static_cast<std::uint16_t>(cell);
                    }
            ++at; // separator
        }
        length[orientation] = at;
    }
}

void LetterStreams::clear(const StreamLayout &layout, std::uint16_t separator)
{
    m_cells[StreamLayout::SeparatorCell] = separator;
    for (int orientation = 0; orientation < Orientations; ++orientation) {
        std::uint16_t *stream = m_lines[orientation].data() + Margin;
        std::memset(stream, 0, sizeof(std::uint16_t) * static_cast<std::size_t>(layout.length[orientation]));
        // Only the lines a look from within this square can reach (OccupiedMargin either way).
        const auto lines =
            static_cast<std::size_t>(OccupiedMargin + layout.lineCount(orientation) + OccupiedMargin);
        std::memset(m_occupied[orientation].data(), 0, sizeof(std::uint64_t) * lines);
    }
}

} // namespace brivamo
