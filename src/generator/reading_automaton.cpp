#include "generator/reading_automaton.h"

#include "generator/blocked_words.h"
#include "generator/puzzle_grid.h"

#include <QSet>

#include <unicode/uspoof.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace brivamo {

namespace {

// The letter a single letter looks like to Unicode's confusables data: one character, or none
// when its look-alike is longer or the data cannot be had.
char16_t skeletonOf(char16_t letter)
{
    static USpoofChecker *const checker = [] {
        UErrorCode status = U_ZERO_ERROR;
        USpoofChecker *opened = uspoof_open(&status);
        return U_SUCCESS(status) ? opened : nullptr;
    }();
    if (!checker)
        return 0;
    const UChar in[1] = {letter};
    std::array<UChar, 8> out{};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = uspoof_getSkeleton(checker, 0, in, 1, out.data(), int32_t(out.size()), &status);
    return U_SUCCESS(status) && length == 1 ? char16_t(out[0]) : char16_t(0);
}

} // namespace

char16_t ReadingLetter(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= u'a' && u <= u'z' ? char16_t(u - (u'a' - u'A')) : u;
    const QChar upper = c.toUpper();
    if (!upper.isLetter() || upper.script() == QChar::Script_Latin)
        return upper.unicode();
    // A letter of another script reads as the Latin letter it looks like: the one from A to Z
    // that shares its skeleton (Greek Iota and I both look like a small L to the data), else
    // the skeleton itself when that is one Latin letter.
    static const std::array<char16_t, 26> latinSkeletons = [] {
        std::array<char16_t, 26> skeletons{};
        for (int i = 0; i < 26; ++i)
            skeletons[std::size_t(i)] = skeletonOf(char16_t(u'A' + i));
        return skeletons;
    }();
    const char16_t skeleton = skeletonOf(upper.unicode());
    if (skeleton == 0)
        return upper.unicode();
    if (const auto at = std::find(latinSkeletons.begin(), latinSkeletons.end(), skeleton);
        at != latinSkeletons.end())
        return char16_t(u'A' + (at - latinSkeletons.begin()));
    return QChar(skeleton).script() == QChar::Script_Latin ? skeleton : upper.unicode();
}

ListCodes::ListCodes(const QStringList &words, const QStringList &blocked, const QString &message)
    : m_words(words), m_blockedSource(blocked), m_message(message),
      m_alphabet(FillAlphabetFor(words, message))
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

    // Letters compared as the solver reads them; a long list or blocklist asks about each
    // character once.
    std::unordered_map<char16_t, char16_t> readingOf;
    auto reading = [&](QChar c) {
        auto at = readingOf.find(c.unicode());
        if (at == readingOf.end())
            at = readingOf.emplace(c.unicode(), ReadingLetter(c)).first;
        return at->second;
    };
    auto readingForms = [&](const QStringList &texts) {
        QStringList forms;
        for (QString text : texts) {
            for (QChar &c : text)
                c = QChar(reading(c));
            forms << text;
        }
        return forms;
    };
    // A blocked word with a letter the square can never hold, nor one looking like it, cannot be
    // read in it.
    std::unordered_set<char16_t> readingLetters;
    for (char16_t c : m_alphabet.letters)
        readingLetters.insert(reading(QChar(c)));
    auto readable = [&](const QString &word) {
        return std::all_of(word.begin(), word.end(),
                           [&](QChar c) { return readingLetters.contains(reading(c)); });
    };
    // A blocked word inside a listed word (or the message) stays blocked everywhere but
    // in that word's own cells (one that is a listed word reads as that word: the automaton lets
    // the listed one win).
    QStringList kept;
    for (const QString &word : blocked)
        if (word.size() <= PuzzleGrid::MaxSide && readable(word))
            kept << word;
    std::stable_sort(kept.begin(), kept.end(),
                     [](const QString &a, const QString &b) { return a.size() < b.size(); });
    const QStringList keptForms = readingForms(kept);
    // The hidden message's letters hold blocked words the same way.
    const QStringList outside =
        BlockedWordsFor(keptForms, readingForms(words + QStringList{LettersInAlphabet(message, m_alphabet)}));
    const QSet<QString> neverInsideAWord(outside.begin(), outside.end());
    // A blocked word holding another (forwards or backwards) can only be read where that one
    // is, unless that one may lie inside a listed word's cells: the guard need not look for it,
    // and its automaton stays smaller.
    // Each word's stretches are looked up among those taken so far, so a long blocklist costs
    // its letters times a word's length, not its length squared.
    std::unordered_set<std::u16string_view> taken;
    auto view = [](const QString &text) {
        return std::u16string_view(reinterpret_cast<const char16_t *>(text.constData()),
                                   static_cast<std::size_t>(text.size()));
    };
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const QString &word = kept[i];
        QString reversed = word;
        std::reverse(reversed.begin(), reversed.end());
        bool holdsOne = false;
        for (const std::u16string_view whole : {view(word), view(reversed)})
            for (std::size_t from = 0; from < whole.size() && !holdsOne; ++from)
                for (std::size_t length = 1; from + length <= whole.size() && !holdsOne; ++length)
                    holdsOne = taken.contains(whole.substr(from, length));
        if (!holdsOne) {
            m_blocked << word;
            if (neverInsideAWord.contains(keptForms[i]))
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
        foldedOf[27 + i] = ReadingLetter(QChar(list.m_others[i]));
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
