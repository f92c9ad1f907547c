#pragma once

#include "generator/fill_alphabet.h"

#include <QStringList>

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace brivamo {

class ListCodes;

// A character as the solver reads it: in capitals, and a letter of another script as the Latin
// letter it looks like (Greek Alpha and Cyrillic A as A), one letter for one, from Unicode's
// confusables data. A to Z, other Latin letters and letters that look like no single Latin
// letter stay themselves.
char16_t ReadingLetter(QChar c);

// One automaton of every word of a list, and of every blocked word the puzzle must avoid, and
// their reversals, stepping on the list's codes and reading letters as the solver does
// (ReadingLetter: 'a' steps like 'A', and so does Greek Alpha), so that one pass along each line of the four
// orientations finds every reading in all eight directions.
class ReadingAutomaton
{
public:
    ReadingAutomaton(const QStringList &words, const QStringList &blocked, const ListCodes &codes);

    // A word read where a state is reached: its length, and whether it is a blocked word rather
    // than a listed one.
    struct Ending
    {
        int length;
        bool blocked;
    };

    // State 0 is the start of a line.
    int step(int state, std::uint16_t code) const
    {
        return m_next[static_cast<std::size_t>(state) * static_cast<std::size_t>(m_codeCount) + code];
    }
    // Whether some word ends where the automaton is in this state: asked at every step, so
    // kept apart from the endings themselves.
    bool reads(int state) const { return m_reads[static_cast<std::size_t>(state)]; }
    // The words that end where the automaton is in this state, each length once.
    std::span<const Ending> endings(int state) const
    {
        const auto at = static_cast<std::size_t>(state);
        return {m_endings.data() + m_endingsFrom[at], m_endings.data() + m_endingsFrom[at + 1]};
    }
    // The shortest word's length, blocked words included.
    int shortest() const { return m_shortest; }

private:
    int m_codeCount;
    std::vector<int> m_next;
    std::vector<char> m_reads;
    std::vector<Ending> m_endings;            // every state's endings, one state after another
    std::vector<std::uint32_t> m_endingsFrom; // where each state's start, and one past the last's end
    int m_shortest = 30;
};

// A list's characters as small whole numbers for the automaton. 'A' to 'Z' are 1 to 26 and
// every other character a word or the fill alphabet holds gets a code of its own after them,
// exactly as written ('a' and 'A' differ here; the automaton folds them). The last code stands
// for any character no word holds.
//
// The codes also hold the list's fill alphabet and the blocked words its puzzles must avoid
// (those of the given blocklist the solver could read in such a square at all; one inside a
// listed word is allowed only within that word's own cells, which the fill guard sees to). The automaton is
// made when first asked for: a long list whose puzzle is given up early never pays for it.
class ListCodes
{
public:
    // A hidden message's letters may join the fill alphabet (FillAlphabetFor).
    explicit ListCodes(const QStringList &words, const QStringList &blocked = {},
                       const QString &message = {});
    ~ListCodes();

    // Cheap while the lists are still shared with the ones the codes were made for.
    bool isFor(const QStringList &words, const QStringList &blocked, const QString &message) const
    {
        return m_words == words && m_blockedSource == blocked && m_message == message;
    }

    const FillAlphabet &alphabet() const { return m_alphabet; }
    // Fill letter i of the alphabet (0 to its size - 1).
    QChar fillLetter(int i) const { return QChar(m_alphabet.letters[static_cast<std::size_t>(i)]); }

    std::uint16_t codeOf(QChar c) const
    {
        if (const unsigned letter = c.unicode() - unsigned(u'A'); letter < 26)
            return static_cast<std::uint16_t>(letter + 1);
        return otherCode(c);
    }
    int codeCount() const { return m_codeCount; }

    const ReadingAutomaton &automaton() const
    {
        if (!m_automaton)
            m_automaton = std::make_unique<ReadingAutomaton>(m_words, m_blocked, *this);
        return *m_automaton;
    }

private:
    std::uint16_t otherCode(QChar c) const;
    friend class ReadingAutomaton;

    QStringList m_words;         // a copy: shares the caller's data until either changes
    QStringList m_blockedSource; // the blocklist asked for, as shared
    QStringList m_blocked;       // the blocked words its puzzles must avoid
    QString m_message;
    FillAlphabet m_alphabet;
    std::vector<char16_t> m_others; // characters with codes 27 and up, in order
    int m_codeCount = 0;
    mutable std::unique_ptr<ReadingAutomaton> m_automaton;
};

} // namespace brivamo
