#pragma once

#include "base/form.h"
#include "generator/puzzle_generator.h"
#include "pages/puzzle_page.h"
#include "puzzle/puzzle_board_model.h"

#include <QColor>
#include <QStringList>

#include <functional>
#include <memory>

class QLabel;
class QListWidget;
class QScrollBar;

namespace brivamo {

class OstrelButton;
class PuzzleBoard;

// A filled rounded rectangle with a one-pixel border, drawn behind a group of controls.
class RoundedPanel : public QWidget
{
    Q_OBJECT
public:
    RoundedPanel(QColor fill, QColor border, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill;
    QColor m_border;
};

// The window in which a puzzle is made, viewed and printed.
//
// Its opener hands it the category and the words before showing it:
//
//     auto &puzzle = form<frmPuzzle>();
//     puzzle.setSource(category, words);   // words in the order the lobby shows them
//     puzzle.ShowModal();                  // or Show(); the window unloads itself when left
//
// The window reads them at its first activation. Leaving it (its lobby button, Esc or its close
// box) unloads it; nothing is handed back.
class frmPuzzle : public Form, public PuzzleHost
{
    Q_OBJECT
public:
    enum class State { Idle, Running, Finished };

    frmPuzzle();
    ~frmPuzzle() override;

    void setSource(const QString &category, const QStringList &words);

    State state() const { return m_state; }
    bool isRunning() const { return m_state == State::Running; }
    // N, the side of the square.
    int squareSize() const { return m_side; }
    // The words longest first, as placed.
    const QStringList &words() const { return m_words; }
    QString category() const;
    // The finished puzzle; nullptr unless the window is in its finished state.
    const PuzzleGrid *grid() const { return m_state == State::Finished ? m_grid.get() : nullptr; }
    // How hard the next puzzle is to solve.
    PuzzleLevel level() const { return m_level; }
    // The message the next puzzle's fill spells (empty: none). Kept while the window is open.
    QString hiddenMessage() const { return m_workspace.hiddenMessage(); }
    // The dedication offered the next time a printout is personalized.
    QString dedicationName() const { return m_dedication; }

    // What opens help on a topic, modally, returning when help is closed. The program sets it
    // once at start-up to the help window; tests set their own.
    using HelpOpener = std::function<void(int topic)>;
    static void setHelpOpener(HelpOpener opener);

    // Replaces the blocking pause of the animation (tests pass a function that returns at once).
    void setPauseFunction(std::function<void(int milliseconds)> pause) { m_pause = std::move(pause); }
    // The words no puzzle of this window may let the solver read (the program's list unless set).
    void setBlockedWords(const QStringList &words) { m_workspace.setBlockedWords(words); }
    // The random numbers the next runs draw from (nullptr: the program's own source).
    void setRandomSource(modStandard::RandomSource *source) { m_random = source; }

    // Controls.
    QWidget *picBox = nullptr;
    OstrelButton *cmdHelp = nullptr;
    OstrelButton *cmdSoundStatus = nullptr;
    OstrelButton *cmdLevel = nullptr;
    OstrelButton *cmdHiddenMessage = nullptr;
    OstrelButton *cmdLobby = nullptr;
    QLabel *labelCategory = nullptr;
    QListWidget *listWords = nullptr;
    RoundedPanel *shp1 = nullptr;
    QLabel *labelSquareSize = nullptr;
    QScrollBar *scrollSquareSize = nullptr;
    QLabel *labelMinMax = nullptr;
    OstrelButton *cmdMakePuzzle = nullptr;
    OstrelButton *cmdCancelPuzzle = nullptr;
    OstrelButton *cmdViewSolution = nullptr;
    OstrelButton *cmdViewPuzzle = nullptr;
    OstrelButton *cmdPrintPuzzle = nullptr;
    RoundedPanel *shp2 = nullptr;
    QLabel *labelAttempts = nullptr;
    QLabel *labelWordsPlaced = nullptr;
    PuzzleBoard *picPuzzle = nullptr;

    // Event handlers.
    void scrollSquareSize_Change();
    void cmdMakePuzzle_Click();
    void cmdCancelPuzzle_Click();
    void cmdViewPuzzle_Click();
    void cmdViewsolution_Click();
    void cmdPrintPuzzle_Click();
    void cmdSoundStatus_MouseMove();
    void cmdSoundStatus_Click();
    void cmdLevel_Click();
    void cmdHiddenMessage_Click();
    void cmdHelp_Click();
    void cmdLobby_Click();

    void ResetPuzzleWindow();
    void FillWordList();
    void DrawEmptyBoard();
    void DrawBoard(BoardLayer layer);

protected:
    void Form_Load() override;
    void Form_Activate() override;
    bool Form_KeyDown(int key, Qt::KeyboardModifiers shift) override;
    bool Form_QueryUnload(UnloadMode mode) override;

    // The generator's notifications.
    void AttemptStarted(int attempt) override;
    void Yield() override;
    void CellTried(int row, int column, QChar letter) override;
    void PauseRequested(int milliseconds) override;
    void CellReverted(int row, int column, QChar content) override;
    void WordAccepted(int wordsPlaced) override;
    void CellCommitted(int row, int column, QChar letter) override;
    void WordAbandoned() override;
    void AttemptFailed(int attempt) override;
    void PuzzleCompleted() override;

private:
    void createControls();
    void setDefaultRole(OstrelButton *button);
    void setCancelRole(OstrelButton *button);
    void showSoundPicture();
    void showLevel();
    void showHiddenMessage();
    void pause(int milliseconds);
    void fadeAndWait(quint8 start, quint8 end, quint8 step);
    bool fadingOn() const;
    QWidget *visibleViewButton() const;
    void setPrintingControlsEnabled(bool enabled);
    // False when printing failed; `failure` then holds what the window shows.
    bool printPages(bool withSolution, const QString &dedication, QString *failure);

    QString m_sourceCategory;
    QStringList m_sourceWords;
    QStringList m_words;
    int m_side = PuzzleGrid::MaxSide;
    PuzzleLevel m_level = PuzzleLevel::Hard;
    std::unique_ptr<PuzzleGrid> m_grid;
    // What the generator keeps from one of this window's puzzles to the next.
    PuzzleWorkspace m_workspace;
    bool m_initialized = false;
    State m_state = State::Idle;
    QString m_dedication;
    std::function<void(int)> m_pause;
    modStandard::RandomSource *m_random = nullptr;
};

} // namespace brivamo
