#pragma once

#include <QString>

#include <array>
#include <optional>

namespace brivamo {

// How hard a puzzle is to solve: the directions its words may read in. Hard, every direction,
// is the default.
enum class PuzzleLevel { Easy, Medium, Hard };

// The direction codes a level allows. Easy: left to right and downwards; Medium: also the two
// diagonals that read to the right; Hard: all eight.
struct LevelDirections
{
    std::array<int, 9> codes; // codes[1] to codes[count], in code order; codes[0] is unused
    int count;
    // The place among codes of the direction word 1 always takes, or 0 when it draws one.
    int firstWord;
};

constexpr LevelDirections DirectionsOf(PuzzleLevel level)
{
    switch (level) {
    case PuzzleLevel::Easy:
        return {{0, 3, 5}, 2, 0};
    case PuzzleLevel::Medium:
        return {{0, 2, 3, 4, 5}, 4, 0};
    case PuzzleLevel::Hard:
        break;
    }
    return {{0, 1, 2, 3, 4, 5, 6, 7, 8}, 8, 8};
}

// The level as the setting "Level" stores it: "Easy", "Medium" or "Hard".
QString LevelSettingText(PuzzleLevel level);
// The stored text in any letter case, surrounding spaces ignored; nullopt for anything else.
std::optional<PuzzleLevel> LevelFromSetting(const QString &text);
// The command line's value, exactly "easy", "medium" or "hard"; nullopt for anything else.
std::optional<PuzzleLevel> LevelFromOption(const QString &text);

// The level after this one, Hard wrapping round to Easy.
PuzzleLevel NextLevel(PuzzleLevel level);

} // namespace brivamo
