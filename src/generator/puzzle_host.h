#pragma once

#include <QChar>

namespace brivamo {

// What the generator reports while it builds a square. The puzzle window implements it
// (draws the letters, plays the sounds, pauses, processes pending events); a silent host
// ignores everything, so the generator runs without any window.
//
// Every call is synchronous and made in the generator's order. The host owns the cancel
// flag: its cancel button calls requestCancel() from inside Yield; MakePuzzle clears the flag
// when a run starts and reads it only straight after each Yield.
class PuzzleHost
{
public:
    virtual ~PuzzleHost() = default;

    // A fresh, empty square is started (attempt counts 1 to 10 within one run).
    virtual void AttemptStarted(int attempt) = 0;
    // A candidate has been chosen: process pending events (the cancel click arrives here).
    virtual void Yield() = 0;
    // The candidate's letter was written into the puzzle layer at this cell.
    virtual void CellTried(int row, int column, QChar letter) = 0;
    // A long rejected candidate is about to be undone: pause so the user sees it.
    virtual void PauseRequested(int milliseconds) = 0;
    // A rejected candidate's cell is restored; content is the solution layer's character,
    // or a null QChar where the cell is still empty.
    virtual void CellReverted(int row, int column, QChar content) = 0;
    // A word was accepted; wordsPlaced counts the words of this attempt so far.
    virtual void WordAccepted(int wordsPlaced) = 0;
    // The accepted word's letter was copied into the solution layer at this cell.
    virtual void CellCommitted(int row, int column, QChar letter) = 0;
    // A word could not be fitted; the attempt fails next.
    virtual void WordAbandoned() = 0;
    virtual void AttemptFailed(int attempt) = 0;
    // Every word is placed and the empty cells are filled.
    virtual void PuzzleCompleted() = 0;

    void requestCancel() { m_cancelRequested = true; }
    void clearCancel() { m_cancelRequested = false; }
    bool isCancelRequested() const { return m_cancelRequested; }

private:
    bool m_cancelRequested = false;
};

// A host that ignores every notification and so skips pauses and sounds. MakePuzzle without a
// host makes the same squares, its notifications left out when it is compiled.
class SilentPuzzleHost : public PuzzleHost
{
public:
    void AttemptStarted(int) override {}
    void Yield() override {}
    void CellTried(int, int, QChar) override {}
    void PauseRequested(int) override {}
    void CellReverted(int, int, QChar) override {}
    void WordAccepted(int) override {}
    void CellCommitted(int, int, QChar) override {}
    void WordAbandoned() override {}
    void AttemptFailed(int) override {}
    void PuzzleCompleted() override {}
};

} // namespace brivamo
