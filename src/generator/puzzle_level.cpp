#include "generator/puzzle_level.h"

namespace brivamo {

namespace {

constexpr std::array<PuzzleLevel, 3> Levels{PuzzleLevel::Easy, PuzzleLevel::Medium, PuzzleLevel::Hard};

} // namespace

QString LevelSettingText(PuzzleLevel level)
{
    switch (level) {
    case PuzzleLevel::Easy:
        return QStringLiteral("Easy");
    case PuzzleLevel::Medium:
        return QStringLiteral("Medium");
    case PuzzleLevel::Hard:
        break;
    }
    return QStringLiteral("Hard");
}

std::optional<PuzzleLevel> LevelFromSetting(const QString &text)
{
    for (const PuzzleLevel level : Levels)
        if (text.trimmed().compare(LevelSettingText(level), Qt::CaseInsensitive) == 0)
            return level;
    return std::nullopt;
}

std::optional<PuzzleLevel> LevelFromOption(const QString &text)
{
    for (const PuzzleLevel level : Levels)
        if (text == LevelSettingText(level).toLower())
            return level;
    return std::nullopt;
}

PuzzleLevel NextLevel(PuzzleLevel level)
{
    switch (level) {
    case PuzzleLevel::Easy:
        return PuzzleLevel::Medium;
    case PuzzleLevel::Medium:
        return PuzzleLevel::Hard;
    case PuzzleLevel::Hard:
        break;
    }
    return PuzzleLevel::Easy;
}

} // namespace brivamo
