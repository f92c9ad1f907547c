#pragma once

#include <QStringList>

#include <vector>

namespace brivamo {

// The letters a list's fill is drawn from, chosen so that no letter gives a word cell away: the
// capital alphabet of each script the list's letters belong to, with every other letter of the
// list joining the script it belongs to. A list of A to Z alone is filled from A to Z; one with
// É or Ñ from A to Z with É or Ñ; a Greek or Cyrillic list from that script's capitals, and no
// A to Z. A list mixing scripts is filled from all of their alphabets together. Letters of a
// script without a known alphabet (or without capitals) join as the list holds them.
struct FillAlphabet
{
    std::vector<char16_t> letters; // in order: A to Z first when the list has Latin letters

    int size() const { return static_cast<int>(letters.size()); }
};

// With a hidden message, its letters of the list's scripts that the alphabet lacks (Ñ in a
// Spanish list without one) join it, so that the message is spelt as written.
FillAlphabet FillAlphabetFor(const QStringList &words, const QString &message = QString());

// The letters of a text a fill of this alphabet can spell, in capitals (an accented letter the
// alphabet lacks as its plain letter): spaces, punctuation and other letters are dropped.
QString LettersInAlphabet(const QString &text, const FillAlphabet &alphabet);
// The same letters word by word: a word ends at anything but a letter or an accent.
QStringList WordsInAlphabet(const QString &text, const FillAlphabet &alphabet);

} // namespace brivamo
