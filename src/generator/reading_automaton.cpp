#include "generator/reading_automaton.h"

#include "generator/blocked_words.h"
#include "generator/puzzle_grid.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_set>

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
    // is: the guard need not look for it, and its automaton stays smaller.
    std::stable_sort(kept.begin(), kept.end(),
                     [](const QString &a, const QString &b) { return a.size() < b.size(); });
    // Each word's stretches are looked up among those taken so far, so a long blocklist costs
    // its letters times a word's length, not its length squared.
    std::unordered_set<std::u16string_view> taken;
    auto view = [](const QString &text) {
        return std::u16string_view(reinterpret_cast<const char16_t *>(text.constData()),
                                   static_cast<std::size_t>(text.size()));
    };
    for (const QString &word : kept) {
        QString reversed = word;
        std::reverse(reversed.begin(), reversed.end());
        bool holdsOne = false;
        for (const std::u16string_view whole : {view(word), view(reversed)})
            for (std::size_t from = 0; from < whole.size() && !holdsOne; ++from)
                for (std::size_t length = 1; from + length <= whole.size() && !holdsOne; ++length)
                    holdsOne = taken.contains(whole.substr(from, length));
        if (!holdsOne) {
            m_blocked << word;
            taken.insert(view(m_blocked.constLast()));
        }
    }
}

ListCodes::~ListCodes() = default;

std::uint16_t ListCodes::otherCode(QChar c) const
{
    const auto found = std::find(m_others.begin(), m_others.end(), c.unicode());
    return static_cast<std::uint16_t>(27 + (found - m_others.begin())); // the last code when not found
}

ReadingAutomaton::ReadingAutomaton(const QStringList &words, const QStringList &blocked,
                                   const ListCodes &list)
    : m_codeCount(list.codeCount())
{
    const auto codes = static_cast<std::size_t>(m_codeCount);
    // Codes whose characters the solver reads alike step alike: each steps as the first code
    // of its kind, the only one the patterns use.
    std::vector<char16_t> foldedOf(codes, 0);
    for (int letter = 0; letter < 26; ++letter)
        foldedOf[static_cast<std::size_t>(letter) + 1] = static_cast<char16_t>(u'A' + letter);
    for (std::size_t i = 0; i < list.m_others.size(); ++i)
        foldedOf[27 + i] = folded(QChar(list.m_others[i]));
    std::vector<std::size_t> kind(codes);
    for (std::size_t code = 0; code < codes; ++code) {
        kind[code] = code;
        for (std::size_t earlier = 1; earlier < code && code + 1 < codes; ++earlier)
            if (foldedOf[earlier] == foldedOf[code]) {
                kind[code] = earlier;
                break;
            }
    }
    auto addEnding = [](std::vector<Ending> &endings, Ending ending) {
        if (std::none_of(endings.begin(), endings.end(),
                         [&](const Ending &e) { return e.length == ending.length; }))
            endings.push_back(ending);
    };

    // The patterns: every word both ways, listed words first, so that a text both listed and
    // blocked counts as listed.
    struct Pattern
    {
        QString text;
        bool blocked;
        std::size_t state = 0; // where the trie holds it so far
    };
    std::vector<Pattern> patterns;
    auto addBothWays = [&](const QStringList &texts, bool isBlocked) {
        for (const QString &text : texts) {
            if (text.isEmpty() || text.size() > PuzzleGrid::MaxSide)
                continue;
            m_shortest = std::min(m_shortest, static_cast<int>(text.size()));
            QString reversed = text;
            std::reverse(reversed.begin(), reversed.end());
            patterns.push_back({text, isBlocked});
            patterns.push_back({reversed, isBlocked});
        }
    };
    addBothWays(words, false);
    addBothWays(blocked, true);

    // Their trie, a depth at a time, so that the states near a line's start, where a scan mostly
    // is, lie together. m_next holds each state's children, 0 for none (no step leads back to
    // the root yet).
    m_next.assign(codes, 0);
    std::vector<std::vector<Ending>> ends(1);
    for (qsizetype depth = 0; depth < PuzzleGrid::MaxSide; ++depth)
        for (Pattern &pattern : patterns) {
            if (depth >= pattern.text.size())
                continue;
            const std::size_t at = pattern.state * codes + kind[list.codeOf(pattern.text[depth])];
            if (m_next[at] == 0) {
                m_next[at] = static_cast<int>(ends.size());
                ends.emplace_back();
                m_next.resize(ends.size() * codes, 0);
            }
            pattern.state = static_cast<std::size_t>(m_next[at]);
            if (depth + 1 == pattern.text.size())
                addEnding(ends[pattern.state], {static_cast<int>(pattern.text.size()), pattern.blocked});
        }

    // Breadth first: each state's failure link (the state of its longest proper suffix), whose
    // steps stand in for the ones the trie lacks and whose endings are read here too.
    std::vector<std::size_t> fail(ends.size(), 0);
    std::vector<std::size_t> order{0};
    for (std::size_t i = 0; i < order.size(); ++i) {
        const std::size_t state = order[i];
        if (state != 0)
            for (const Ending &ending : ends[fail[state]])
                addEnding(ends[state], ending);
        for (std::size_t code = 0; code < codes; ++code) {
            int &next = m_next[state * codes + code];
            const int viaFail = state == 0 ? 0 : m_next[fail[state] * codes + code];
            if (next == 0) {
                next = viaFail;
            } else {
                fail[static_cast<std::size_t>(next)] = static_cast<std::size_t>(viaFail);
                order.push_back(static_cast<std::size_t>(next));
            }
        }
    }
    for (std::size_t state = 0; state < ends.size(); ++state)
        for (std::size_t code = 0; code < codes; ++code)
            m_next[state * codes + code] = m_next[state * codes + kind[code]];
    for (const std::vector<Ending> &own : ends) {
        m_reads.push_back(!own.empty());
        m_endingsFrom.push_back(static_cast<std::uint32_t>(m_endings.size()));
        m_endings.insert(m_endings.end(), own.begin(), own.end());
    }
    m_endingsFrom.push_back(static_cast<std::uint32_t>(m_endings.size()));
}

} // namespace brivamo
