#pragma once

#include "generator/puzzle_generator.h"

#include <QStringList>

#include <deque>

// Records every notification as one line of text ("CellTried 3 4 A"; an empty cell shows as
// "-") and can ask to cancel when a chosen line is recorded.
class RecordingHost : public brivamo::PuzzleHost
{
public:
    QStringList log;
    QString cancelAt; // request cancel when this line is recorded (first time)

    void AttemptStarted(int attempt) override { record(QStringLiteral("AttemptStarted %1").arg(attempt)); }
    void Yield() override { record(QStringLiteral("Yield")); }
    void CellTried(int row, int column, QChar letter) override
    {
        record(cell("CellTried", row, column, letter));
    }
    void PauseRequested(int milliseconds) override
    {
        record(QStringLiteral("PauseRequested %1").arg(milliseconds));
    }
    void CellReverted(int row, int column, QChar content) override
    {
        record(cell("CellReverted", row, column, content));
    }
    void WordAccepted(int wordsPlaced) override
    {
        record(QStringLiteral("WordAccepted %1").arg(wordsPlaced));
    }
    void CellCommitted(int row, int column, QChar letter) override
    {
        record(cell("CellCommitted", row, column, letter));
    }
    void WordAbandoned() override { record(QStringLiteral("WordAbandoned")); }
    void AttemptFailed(int attempt) override { record(QStringLiteral("AttemptFailed %1").arg(attempt)); }
    void PuzzleCompleted() override { record(QStringLiteral("PuzzleCompleted")); }

    static QString cell(const char *kind, int row, int column, QChar content)
    {
        return QStringLiteral("%1 %2 %3 %4")
            .arg(QLatin1String(kind))
            .arg(row)
            .arg(column)
            .arg(content.isNull() ? QChar(u'-') : content);
    }

private:
    void record(const QString &line)
    {
        log << line;
        if (!cancelAt.isEmpty() && line == cancelAt) {
            cancelAt.clear();
            requestCancel();
        }
    }
};

// Hands out scripted numbers first, then falls back to a seeded source. Counts draws that
// were outside the range asked for.
class ScriptedRandom : public modStandard::RandomSource
{
public:
    explicit ScriptedRandom(std::initializer_list<int> values, std::uint32_t seed = 1)
        : m_values(values), m_rest(seed)
    {
    }

    int inRange(int lo, int hi) override
    {
        if (m_values.empty())
            return m_rest.inRange(lo, hi);
        const int value = m_values.front();
        m_values.pop_front();
        if (value < lo || value > hi)
            ++outOfRange;
        return value;
    }

    bool scriptUsedUp() const { return m_values.empty(); }
    int outOfRange = 0;

private:
    std::deque<int> m_values;
    modStandard::SeededRandomSource m_rest;
};
