#include "base/settings.h"
#include "common/scripted_dialogs.h"
#include "controls/ostrel_button.h"
#include "effects/fade.h"
#include "effects/sounds.h"
#include "platform/printer_qt.h"
#include "platform/printer_recording.h"
#include "puzzle/frm_puzzle.h"
#include "puzzle/puzzle_board.h"

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include <unistd.h>

using namespace brivamo;

namespace {

const QString CrLf = QStringLiteral("\r\n");

// Remembers which built-in sounds were played, in order, without playing anything.
class SoundRecorder : public SoundOutput
{
public:
    QStringList played;
    std::function<void()> onPlay;

    bool play(const PcmSound &sound) override
    {
        for (const char *name : {"click", "done", "tryagain"}) {
            const auto reference = decodeWave(*soundResource(QLatin1String(name)));
            if (reference && reference->samples == sound.samples)
                played << QLatin1String(name);
        }
        if (onPlay)
            onPlay();
        return true;
    }
};

// Keeps what each print job recorded after the window has thrown its printer away.
struct PrintJobs
{
    QList<QList<RecordingPrinter::Operation>> jobs;
    int opened = 0;
    std::function<void()> onFinish; // runs as each job is sent
};

class SinkPrinter : public RecordingPrinter
{
public:
    explicit SinkPrinter(PrintJobs &sink) : m_sink(sink) {}
    ~SinkPrinter() override
    {
        if (jobs() > 0)
            m_sink.jobs << operations();
    }

protected:
    bool finishDocument() override
    {
        if (m_sink.onFinish)
            m_sink.onFinish();
        return RecordingPrinter::finishDocument();
    }

private:
    PrintJobs &m_sink;
};

QString plain(const QString &text)
{
    return toDisplayLineBreaks(text);
}

bool hasText(const QList<RecordingPrinter::Operation> &ops, const QString &text)
{
    return std::any_of(ops.begin(), ops.end(), [&](const auto &op) {
        return op.kind == RecordingPrinter::Operation::Text && op.text == text;
    });
}

int countOf(const QList<RecordingPrinter::Operation> &ops, RecordingPrinter::Operation::Kind kind)
{
    return int(std::count_if(ops.begin(), ops.end(), [&](const auto &op) { return op.kind == kind; }));
}

// The board's square as text for a layer of the grid (empty cells as spaces).
QString layerText(const PuzzleGrid &grid, bool solution)
{
    QString out;
    for (int r = 1; r <= grid.side(); ++r) {
        for (int c = 1; c <= grid.side(); ++c) {
            const QChar ch = solution ? grid.solution(r, c) : grid.puzzle(r, c);
            out += ch.isNull() ? QChar(u' ') : ch;
        }
        out += u'\n';
    }
    return out;
}

const QStringList Animals{"EMU", "ZEBRA", "ALLIGATOR", "CAMEL", "IGUANA", "BADGER"};
// Five 5-letter words without a shared letter: in a square of 5 every line meets the first word's
// diagonal, so the second word never fits.
const QStringList Disjoint{"ABCDE", "FGHIJ", "KLMNO", "PQRST", "UVWXY"};
// The alphabet, then each of its letters as a word: once every word is placed, any fill letter
// would make a one-letter word readable a second time, so the fill fails the attempt.
const QStringList Unfillable = [] {
    QStringList words{"ABCDEFGHIJKLMNOPQRSTUVWXYZ"};
    for (char16_t c = u'A'; c <= u'Z'; ++c)
        words << QString(QChar(c));
    return words;
}();

} // namespace

class TestFrmPuzzle : public QObject
{
    Q_OBJECT

    SoundRecorder m_sounds;
    modStandard::SeededRandomSource m_random{11};
    int m_helpOpened = 0;
    std::function<void()> m_duringHelp;

    frmPuzzle &open(const QString &category, const QStringList &words)
    {
        frmPuzzle &w = form<frmPuzzle>();
        w.setPauseFunction([](int) {});
        w.setRandomSource(&m_random);
        w.setSource(category, words);
        w.Show();
        return w;
    }

    // Runs `check` once the run has started (from inside its first yield).
    static void duringRun(frmPuzzle &w, std::function<void()> check)
    {
        QTimer::singleShot(0, &w, std::move(check));
    }

    // A click where `button` lies, received by whatever shows there, as a user's click would be
    // (a test click aimed at the button itself reaches it even while it is hidden).
    static void clickWhere(QWidget &window, QWidget *button)
    {
        const QPoint at = button->mapTo(&window, button->rect().center());
        QWidget *shown = window.childAt(at);
        QWidget *target = shown ? shown : &window;
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&window, at));
    }

    static void setSound(bool on) { basBrivamo::writeBoolSetting(basBrivamo::KeySoundStatus, on); }

    static bool isIdle(frmPuzzle &w)
    {
        return w.state() == frmPuzzle::State::Idle && w.cmdMakePuzzle->isVisibleTo(&w) &&
               !w.cmdCancelPuzzle->isVisibleTo(&w) && !w.cmdViewPuzzle->isVisibleTo(&w) &&
               !w.cmdViewSolution->isVisibleTo(&w) && !w.cmdPrintPuzzle->isVisibleTo(&w) &&
               w.cmdHelp->Enabled() && w.cmdLobby->Enabled() && w.cancelButton() == w.cmdLobby &&
               w.scrollSquareSize->isEnabled() && !w.shp2->isVisibleTo(&w) &&
               w.labelAttempts->text().isEmpty() && w.picPuzzle->model().side() == w.squareSize() &&
               w.picPuzzle->model().printedCount() == w.squareSize() * w.squareSize() &&
               !w.picPuzzle->model().toText().contains(QRegularExpression("[^·\n]"));
    }

private slots:
    void initTestCase()
    {
        setSoundOutput(&m_sounds);
        frmPuzzle::setHelpOpener([this](int topic) {
            QCOMPARE(topic, 4);
            ++m_helpOpened;
            if (m_duringHelp)
                m_duringHelp();
        });
    }

    void init()
    {
        setSound(false);
        modStandard::SoundOn = true;
        m_sounds.played.clear();
        m_sounds.onPlay = nullptr;
        m_helpOpened = 0;
        modFadeInOut::FadeActive = false;
        m_duringHelp = nullptr;
        setPrinterFactory({});
    }

    void cleanup()
    {
        destroyAllForms();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void cleanupTestCase() { setSoundOutput(nullptr); }

    // --- idle ---------------------------------------------------------------------------------

    void opensIdle_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("sorted");
        QTest::addColumn<int>("minimum");
        QTest::newRow("animals") << Animals
                                 << QStringList{"ALLIGATOR", "IGUANA", "BADGER", "ZEBRA", "CAMEL", "EMU"}
                                 << 9;
        QTest::newRow("one word of 20")
            << QStringList{"ABCDEFGHIJKLMNOPQRST"} << QStringList{"ABCDEFGHIJKLMNOPQRST"} << 20;
        QTest::newRow("three letters") << QStringList{"CAT", "DOG"} << QStringList{"CAT", "DOG"} << 3;
    }
    void opensIdle()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, sorted);
        QFETCH(int, minimum);
        frmPuzzle &w = open("ZOO", words);

        QCOMPARE(w.windowTitle(), QStringLiteral("Brivamo"));
        QCOMPARE(w.labelCategory->text(), QStringLiteral("ZOO"));
        QCOMPARE(w.words(), sorted);
        QStringList listed;
        for (int i = 0; i < w.listWords->count(); ++i)
            listed << w.listWords->item(i)->text();
        QCOMPARE(listed, sorted);

        QCOMPARE(w.scrollSquareSize->minimum(), minimum);
        QCOMPARE(w.scrollSquareSize->maximum(), 30);
        QCOMPARE(w.scrollSquareSize->value(), 30);
        QCOMPARE(w.squareSize(), 30);
        QCOMPARE(w.labelSquareSize->text(), QStringLiteral("Current Square Size is 30"));
        QCOMPARE(w.labelMinMax->text(), plain(QStringLiteral("Minimum is %1\r\nMaximum is 30").arg(minimum)));

        QVERIFY(isIdle(w));
        QCOMPARE(w.cmdMakePuzzle->Caption(), "&Make the" + CrLf + "Brivamo" + CrLf + "Puzzle!");
        QCOMPARE(w.cmdCancelPuzzle->Caption(), "&Cancel" + CrLf + "Making the" + CrLf + "Puzzle");
        QCOMPARE(w.cmdViewSolution->Caption(), "&View the" + CrLf + "Solution");
        QCOMPARE(w.cmdViewPuzzle->Caption(), "&View the" + CrLf + "Puzzle");
        QCOMPARE(w.cmdPrintPuzzle->Caption(), "&Print the" + CrLf + "Puzzle");
        QCOMPARE(w.cmdHelp->toolTip(), QStringLiteral(" Help <F1> "));
        QCOMPARE(w.cmdLobby->toolTip(), QStringLiteral(" Return to the Lobby <Esc> "));
        QCOMPARE(w.cmdPrintPuzzle->toolTip(), QStringLiteral(" Be sure your printer is ready! "));
        QCOMPARE(w.picPuzzle->model().lo(), 1);

        // What a screen reader hears for the board, and that it follows the size.
        auto spokenName = [](QWidget *widget) {
            return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name);
        };
        QCOMPARE(spokenName(w.picPuzzle), QStringLiteral("ZOO puzzle, 30 by 30"));
        w.scrollSquareSize->setValue(minimum);
        QCOMPARE(spokenName(w.picPuzzle), QStringLiteral("ZOO puzzle, %1 by %1").arg(minimum));
        QCOMPARE(spokenName(w.listWords), QStringLiteral("Words"));
        for (OstrelButton *button : w.findChildren<OstrelButton *>())
            QVERIFY2(!spokenName(button).isEmpty(), qPrintable(button->objectName()));
    }

    // --- a run and its outcomes ---------------------------------------------------------------

    void runningState()
    {
        frmPuzzle &w = open("ZOO", Animals);
        bool checked = false;
        duringRun(w, [&] {
            checked = true;
            QCOMPARE(w.state(), frmPuzzle::State::Running);
            QVERIFY(!w.cmdMakePuzzle->isVisibleTo(&w));
            QVERIFY(w.cmdCancelPuzzle->isVisibleTo(&w));
            QCOMPARE(w.cancelButton(), w.cmdCancelPuzzle);
            QVERIFY(!w.cmdViewPuzzle->isVisibleTo(&w) && !w.cmdViewSolution->isVisibleTo(&w));
            QVERIFY(!w.cmdPrintPuzzle->isVisibleTo(&w));
            QVERIFY(!w.cmdHelp->Enabled());
            QVERIFY(!w.cmdLobby->Enabled());
            QVERIFY(!w.scrollSquareSize->isEnabled());
            QVERIFY(w.shp2->isVisibleTo(&w));
            QCOMPARE(w.labelAttempts->text(), plain("Attempts Made \r\n1"));
            // Word 1's first candidate is chosen but not yet walked: the empty square of dots.
            QCOMPARE(w.picPuzzle->model().printedCount(), 900);
            QCOMPARE(w.picPuzzle->model().toText().count(PuzzleGrid::Dot), 900);
            // The user's close command is refused; the lobby button does nothing while disabled.
            QVERIFY(!w.close());
            QVERIFY(w.isLoaded());
            w.cmdLobby->click();
            QVERIFY(w.isLoaded());
            w.cmdCancelPuzzle->click();
        });
        w.cmdMakePuzzle->click();
        QVERIFY(checked);
        QVERIFY(isIdle(w));
        QVERIFY(w.isLoaded());
    }

    void cancel_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("cancel button") << false;
        QTest::newRow("Esc") << true;
    }
    void cancel()
    {
        QFETCH(bool, byKey);
        setSound(true);
        frmPuzzle &w = open("ZOO", Animals);
        int wordsWhenCancelled = -1;
        // Cancel after the second word is in.
        m_sounds.onPlay = [&] {
            if (m_sounds.played.count("click") == 2 && wordsWhenCancelled < 0) {
                wordsWhenCancelled = 2;
                if (byKey)
                    QTest::keyClick(&w, Qt::Key_Escape);
                else
                    w.cmdCancelPuzzle->click();
            }
        };
        w.cmdMakePuzzle->click();
        QCOMPARE(wordsWhenCancelled, 2);
        QVERIFY(isIdle(w));
        QCOMPARE(w.grid(), nullptr);
        QCOMPARE(m_sounds.played, (QStringList{"click", "click"}));
        QCOMPARE(w.listWords->count(), Animals.size());
        QVERIFY(w.isLoaded());
    }

    // The last word placed hides the cancel button before the fill; when the fill then fails the
    // attempt, the next attempt must be cancellable again.
    void cancelAfterAFailedFill_data() { cancel_data(); }
    void cancelAfterAFailedFill()
    {
        QFETCH(bool, byKey);
        setSound(true);
        ScriptedDialogs dialogs;
        dialogs.queueMessage(MsgAnswer::Ok); // the "Whew!" box, should cancelling fail
        frmPuzzle &w = open("ALPHABET", Unfillable);
        w.scrollSquareSize->setValue(26);
        int clicks = 0;
        int failedFills = 0;
        bool offered = false;
        bool pressed = false;
        m_sounds.onPlay = [&] {
            if (m_sounds.played.last() == QLatin1String("tryagain")) {
                if (clicks == Unfillable.size())
                    ++failedFills;
                clicks = 0;
            } else if (m_sounds.played.last() == QLatin1String("click") && ++clicks == 1 && failedFills > 0 &&
                       !pressed) {
                // The first word of the attempt after a failed fill is in: cancel as a user would.
                offered = w.cmdCancelPuzzle->isVisibleTo(&w) && w.cancelButton() == w.cmdCancelPuzzle;
                pressed = true;
                if (byKey)
                    QTest::keyClick(&w, Qt::Key_Escape);
                else
                    clickWhere(w, w.cmdCancelPuzzle);
            }
        };
        w.cmdMakePuzzle->click();
        QVERIFY2(pressed, "no attempt failed in its fill");
        // The run stopped there, with no "Whew!" box after ten attempts.
        QCOMPARE(dialogs.count(), 0);
        QCOMPARE(m_sounds.played.last(), QStringLiteral("click"));
        QVERIFY(isIdle(w));
        QCOMPARE(w.grid(), nullptr);
        QVERIFY(offered);
    }

    void givenUp()
    {
        setSound(true);
        ScriptedDialogs dialogs;
        frmPuzzle &w = open("HARD", Disjoint);
        w.scrollSquareSize->setValue(5);
        QCOMPARE(w.squareSize(), 5);
        dialogs.setOnShow([&](const ScriptedDialogs::Call &) {
            // The last attempt's "tryagain" is heard before the message appears.
            QCOMPARE(m_sounds.played.size(), 20);
            QCOMPARE(m_sounds.played.last(), QStringLiteral("tryagain"));
            QCOMPARE(w.labelAttempts->text(), plain("Attempts Made \r\n10"));
        });
        dialogs.queueMessage(MsgAnswer::Ok);
        w.cmdMakePuzzle->click();

        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Whew!"));
        QCOMPARE(dialogs.last().text,
                 "This is a tough puzzle to make!" + CrLf + CrLf + "You can try again if you wish," + CrLf +
                     "or change the Square Size setting," + CrLf + "or you can return to the lobby...");
        QCOMPARE(dialogs.last().icon, MsgIcon::Exclamation);
        QCOMPARE(dialogs.last().buttons, MsgButtons::OkOnly);
        // Word 1 is placed in every attempt, word 2 never: ten clicks and ten try-agains.
        QCOMPARE(m_sounds.played.count("tryagain"), 10);
        QCOMPARE(m_sounds.played.count("click"), 10);
        QCOMPARE(m_sounds.played.count("done"), 0);
        QVERIFY(isIdle(w));
        QCOMPARE(w.squareSize(), 5);
        QCOMPARE(w.words(), Disjoint);
    }

    // A word the puzzle cannot hold is named in a message; Make does nothing else.
    void unusableWordRefused_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("named");
        QTest::newRow("31 letters") << QStringList{QString(31, u'A'), "CAT"}
                                    << QStringLiteral("\"AAAAAAAAAAAAAAAAAAAA…\"");
        QTest::newRow("control code")
            << QStringList{"CAT", QStringLiteral("DO\x07G")} << QStringLiteral("\"DO\\x07G\"");
        QTest::newRow("dot of the solution")
            << QStringList{"CAT", QStringLiteral("A\u00B7B")} << QStringLiteral("\"A\u00B7B\"");
    }
    void unusableWordRefused()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, named);
        setSound(true);
        ScriptedDialogs dialogs;
        dialogs.queueMessage(MsgAnswer::Ok);
        frmPuzzle &w = open("ODD", words);
        w.cmdMakePuzzle->click();

        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Cannot Make This Puzzle"));
        QVERIFY2(dialogs.last().text.startsWith("The word " + named + " cannot be used in a puzzle: "),
                 qPrintable(dialogs.last().text));
        QCOMPARE(dialogs.last().icon, MsgIcon::Exclamation);
        QVERIFY(isIdle(w));
        QCOMPARE(w.grid(), nullptr);
        QVERIFY(m_sounds.played.isEmpty());
    }

    void completed()
    {
        setSound(true);
        frmPuzzle &w = open("ZOO", Animals);
        w.scrollSquareSize->setValue(12);
        QTest::mouseClick(w.cmdMakePuzzle, Qt::LeftButton, {}, QPoint(20, 20));

        QCOMPARE(w.state(), frmPuzzle::State::Finished);
        QVERIFY(w.grid());
        QCOMPARE(w.grid()->side(), 12);
        // The successful attempt ends with a click per word, then "done".
        QStringList lastAttempt(Animals.size(), QStringLiteral("click"));
        lastAttempt << QStringLiteral("done");
        QCOMPARE(m_sounds.played.mid(m_sounds.played.size() - lastAttempt.size()), lastAttempt);
        QCOMPARE(m_sounds.played.count("done"), 1);

        // The solution is shown first; the puzzle view is offered as the default button.
        QCOMPARE(w.picPuzzle->model().toText(), layerText(*w.grid(), true));
        QVERIFY(w.cmdViewPuzzle->isVisibleTo(&w));
        QVERIFY(!w.cmdViewSolution->isVisibleTo(&w));
        QCOMPARE(w.defaultButton(), w.cmdViewPuzzle);
        QVERIFY(w.cmdPrintPuzzle->isVisibleTo(&w));
        QVERIFY(w.cmdMakePuzzle->isVisibleTo(&w));
        QCOMPARE(w.cmdMakePuzzle->Caption(), "Re-do the" + CrLf + "Puzzle");
        QVERIFY(!w.cmdCancelPuzzle->isVisibleTo(&w));
        QVERIFY(w.cmdHelp->Enabled() && w.cmdLobby->Enabled());
        QCOMPARE(w.cancelButton(), w.cmdLobby);
        QVERIFY(w.scrollSquareSize->isEnabled());
        QVERIFY(w.shp2->isVisibleTo(&w));
        QCOMPARE(w.labelWordsPlaced->text(), plain("Words Placed \r\n6"));
        QCOMPARE(w.listWords->count(), Animals.size());

        // Dots of the solution are silver, letters black.
        const PuzzleBoardModel &board = w.picPuzzle->model();
        for (int r = 1; r <= 12; ++r)
            for (int c = 1; c <= 12; ++c)
                QCOMPARE(board.ink(r, c),
                         board.text(r, c) == PuzzleGrid::Dot ? BoardInk::Silver : BoardInk::Black);

        // Enter presses the view button: the puzzle layer, and the solution button offered.
        QTest::keyClick(&w, Qt::Key_Return);
        QCOMPARE(w.picPuzzle->model().toText(), layerText(*w.grid(), false));
        QVERIFY(w.cmdViewSolution->isVisibleTo(&w));
        QVERIFY(!w.cmdViewPuzzle->isVisibleTo(&w));
        QCOMPARE(w.defaultButton(), w.cmdViewSolution);
        w.cmdViewSolution->click();
        QCOMPARE(w.picPuzzle->model().toText(), layerText(*w.grid(), true));

        // Re-do makes a new puzzle of the same size.
        const QString before = layerText(*w.grid(), false);
        w.cmdMakePuzzle->click();
        QCOMPARE(w.state(), frmPuzzle::State::Finished);
        QCOMPARE(w.grid()->side(), 12);
        QVERIFY(layerText(*w.grid(), false) != before);

        // Any change of the square size discards the puzzle.
        w.scrollSquareSize->setValue(20);
        QVERIFY(isIdle(w));
        QCOMPARE(w.grid(), nullptr);
        QCOMPARE(w.picPuzzle->model().side(), 20);
        QCOMPARE(w.picPuzzle->model().lo(), 6);
    }

    // --- keyboard --------------------------------------------------------------------------------

    // The square size is set from the keyboard, keeps the focus and tells a screen reader its value.
    void squareSizeKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        QTest::newRow("Left") << int(Qt::Key_Left) << 19;
        QTest::newRow("Up") << int(Qt::Key_Up) << 21;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 15;
        QTest::newRow("Home") << int(Qt::Key_Home) << 9;
        QTest::newRow("End") << int(Qt::Key_End) << 30;
    }
    void squareSizeKeys()
    {
        QFETCH(int, key);
        QFETCH(int, expected);
        frmPuzzle &w = open("ZOO", Animals);
        w.scrollSquareSize->setValue(20);
        w.scrollSquareSize->setFocus();
        QTest::keyClick(w.scrollSquareSize, Qt::Key(key));
        QCOMPARE(w.labelSquareSize->text(), QStringLiteral("Current Square Size is %1").arg(expected));
        QCOMPARE(w.focusWidget(), w.scrollSquareSize);
        QAccessibleInterface *size = QAccessible::queryAccessibleInterface(w.scrollSquareSize);
        QCOMPARE(size->text(QAccessible::Name), QStringLiteral("Square size"));
        QCOMPARE(size->valueInterface()->currentValue().toInt(), expected);
        QCOMPARE(QAccessible::queryAccessibleInterface(&w)->role(), QAccessible::Window);
    }

    // Tab follows the layout; a control that hides or is disabled leaves the focus on the button
    // Enter presses, so Space presses the same one.
    void keyboardOnlyRun()
    {
        frmPuzzle &w = open("ZOO", Animals);
        w.scrollSquareSize->setValue(12);
        QVERIFY(QTest::qWaitForWindowActive(&w)); // only the active window's focus moves on a hide
        QStringList chain;
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(w.focusWidget(), Qt::Key_Tab);
            chain << w.focusWidget()->objectName();
        }
        QCOMPARE(chain, QStringList({"cmdHelp", "cmdSoundStatus", "cmdLevel", "cmdHiddenMessage", "cmdLobby",
                                     "scrollSquareSize", "cmdMakePuzzle"}));
        QWidget *focusDuringRun = nullptr;
        duringRun(w, [&] { focusDuringRun = w.focusWidget(); });
        QTest::keyClick(w.cmdMakePuzzle, Qt::Key_Space);
        QCOMPARE(focusDuringRun, w.cmdCancelPuzzle);
        QCOMPARE(w.focusWidget(), w.cmdViewPuzzle);
        QTest::keyClick(w.focusWidget(), Qt::Key_Space);
        QCOMPARE(w.picPuzzle->model().toText(), layerText(*w.grid(), false));
        QCOMPARE(w.focusWidget(), w.defaultButton());
    }

    // The real pause and sound path once, on a small square.
    void realPausesAndSounds()
    {
        setSound(true);
        frmPuzzle &w = open("PETS", {"CAT", "DOG", "OWL"});
        w.setPauseFunction([](int ms) { modStandard::Pause(ms / 1000.0); });
        w.scrollSquareSize->setValue(6);
        QElapsedTimer timer;
        timer.start();
        w.cmdMakePuzzle->click();
        QCOMPARE(w.state(), frmPuzzle::State::Finished);
        // Three accepted words pause 200 ms each.
        QVERIFY(timer.elapsed() >= 600);
        QVERIFY(m_sounds.played.endsWith("done"));
    }

    // --- keys, help, sound, leaving -----------------------------------------------------------

    void helpInEveryState()
    {
        frmPuzzle &w = open("ZOO", Animals);
        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(m_helpOpened, 1);
        w.cmdHelp->click();
        QCOMPARE(m_helpOpened, 2);

        // During a run: the button is disabled, the key still opens help, and the run waits.
        bool sawRunning = false;
        m_duringHelp = [&] {
            sawRunning = w.state() == frmPuzzle::State::Running;
            const QString board = w.picPuzzle->model().toText();
            QTest::qWait(50);
            QCOMPARE(w.picPuzzle->model().toText(), board);
        };
        duringRun(w, [&] {
            w.cmdHelp->click();
            QCOMPARE(m_helpOpened, 2);
            QTest::keyClick(&w, Qt::Key_F1);
        });
        w.cmdMakePuzzle->click();
        QCOMPARE(m_helpOpened, 3);
        QVERIFY(sawRunning);
        QCOMPARE(w.state(), frmPuzzle::State::Finished);

        m_duringHelp = nullptr;
        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(m_helpOpened, 4);
    }

    void soundToggle()
    {
        setSound(true);
        frmPuzzle &w = open("ZOO", Animals);
        QVERIFY(modStandard::SoundOn);
        QTest::mouseMove(w.cmdSoundStatus, QPoint(5, 5));
        QCOMPARE(w.cmdSoundStatus->toolTip(), QStringLiteral(" Disable sound effects "));
        w.cmdSoundStatus->click();
        QVERIFY(!modStandard::SoundOn);
        QCOMPARE(basBrivamo::ReadSetting("Brivamo", "Defaults", "SoundStatus"), QStringLiteral("False"));
        // The tool tip offers the opposite action from the next mouse move on.
        QCOMPARE(w.cmdSoundStatus->toolTip(), QStringLiteral(" Disable sound effects "));
        QTest::mouseMove(w.cmdSoundStatus, QPoint(7, 6));
        QCOMPARE(w.cmdSoundStatus->toolTip(), QStringLiteral(" Enable sound effects "));
        w.cmdSoundStatus->click();
        QVERIFY(modStandard::SoundOn);
        QCOMPARE(basBrivamo::ReadSetting("Brivamo", "Defaults", "SoundStatus"), QStringLiteral("True"));

        // The window reads the setting when it opens.
        setSound(false);
        cleanup();
        open("ZOO", Animals);
        QVERIFY(!modStandard::SoundOn);
    }

    // The level button: Hard until the user chooses, each click the next level, stored at once and
    // read when the window opens; a new level discards a finished puzzle as a new size does, the
    // button rests during a run, and the window's puzzles keep to the level.
    void levelButton()
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Brivamo", "Brivamo")
            .remove("Defaults/Level");
        frmPuzzle &w = open("ZOO", Animals);
        QCOMPARE(w.level(), PuzzleLevel::Hard);
        QCOMPARE(w.cmdLevel->Caption(), "&Level:" + CrLf + "Hard");
        QCOMPARE(w.cmdLevel->accessKey().value_or(QChar()).toUpper(), QChar(u'L'));
        QVERIFY(w.cmdLevel->toolTip().contains(QLatin1String("Click for Easy")));
        w.scrollSquareSize->setValue(12);
        w.cmdMakePuzzle->click();
        QCOMPARE(w.state(), frmPuzzle::State::Finished);

        w.cmdLevel->click();
        QCOMPARE(w.level(), PuzzleLevel::Easy);
        QCOMPARE(basBrivamo::ReadSetting("Brivamo", "Defaults", "Level"), QStringLiteral("Easy"));
        QCOMPARE(w.cmdLevel->Caption(), "&Level:" + CrLf + "Easy");
        QVERIFY(w.cmdLevel->toolTip().contains(QLatin1String("Click for Medium")));
        QVERIFY(isIdle(w));
        QCOMPARE(w.grid(), nullptr);
        QCOMPARE(w.squareSize(), 12);

        bool checked = false;
        duringRun(w, [&] {
            checked = true;
            QVERIFY(!w.cmdLevel->Enabled());
            w.cmdLevel->click();
            QCOMPARE(w.level(), PuzzleLevel::Easy);
        });
        w.cmdMakePuzzle->click();
        QVERIFY(checked);
        QCOMPARE(w.state(), frmPuzzle::State::Finished);
        QVERIFY(w.cmdLevel->Enabled());
        // Every word reads left to right or downwards in the solution.
        const QString rows = layerText(*w.grid(), true);
        QString columns;
        for (int c = 0; c < 12; ++c) {
            for (int r = 0; r < 12; ++r)
                columns += rows[r * 13 + c];
            columns += u'\n';
        }
        for (const QString &word : Animals)
            QVERIFY2(rows.contains(word) || columns.contains(word), qPrintable(word + u'\n' + rows));

        w.cmdLevel->click();
        w.cmdLevel->click();
        QCOMPARE(w.level(), PuzzleLevel::Hard);
        QCOMPARE(basBrivamo::ReadSetting("Brivamo", "Defaults", "Level"), QStringLiteral("Hard"));

        // The window reads the setting, in any letter case, when it opens.
        basBrivamo::WriteSetting("Brivamo", "Defaults", "Level", "medium");
        cleanup();
        frmPuzzle &again = open("ZOO", Animals);
        QCOMPARE(again.level(), PuzzleLevel::Medium);
        QCOMPARE(again.cmdLevel->Caption(), "&Level:" + CrLf + "Medium");
        basBrivamo::WriteSetting("Brivamo", "Defaults", "Level", "Hard");
    }

    // Switching sound off during a run silences the next sounds.
    void soundOffDuringRun()
    {
        setSound(true);
        frmPuzzle &w = open("ZOO", Animals);
        m_sounds.onPlay = [&] {
            if (m_sounds.played.size() == 1 && modStandard::SoundOn)
                w.cmdSoundStatus->click();
        };
        w.cmdMakePuzzle->click();
        QCOMPARE(w.state(), frmPuzzle::State::Finished);
        QCOMPARE(m_sounds.played, QStringList{"click"});
    }

    void leaving_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("lobby button") << 0;
        QTest::newRow("Esc") << 1;
        QTest::newRow("close box") << 2;
    }
    void leaving()
    {
        QFETCH(int, how);
        for (bool finished : {false, true}) {
            frmPuzzle &w = open("ZOO", Animals);
            if (finished)
                w.cmdMakePuzzle->click();
            QPointer<frmPuzzle> window(&w);
            if (how == 0)
                w.cmdLobby->click();
            else if (how == 1)
                QTest::keyClick(&w, Qt::Key_Escape);
            else
                w.close();
            QCOMPARE(loadedForm<frmPuzzle>(), nullptr);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!window);
        }
    }

    // With fading on the run waits for its fades, and leaving fades out before unloading.
    void fading()
    {
        // The headless platform shows no translucency, so fading is switched on by hand; the fade
        // steps run all the same.
        frmPuzzle &w = open("ZOO", Animals);
        QVERIFY(!modFadeInOut::FadeActive);
        modFadeInOut::FadeActive = true;
        bool enabledDuringRun = false;
        w.setPauseFunction([&](int) { enabledDuringRun = w.isRunning() && w.isEnabled() && !w.isFading(); });
        w.cmdMakePuzzle->click();
        QVERIFY(enabledDuringRun);
        QCOMPARE(w.state(), frmPuzzle::State::Finished);
        QPointer<frmPuzzle> window(&w);
        w.cmdLobby->click();
        QVERIFY(w.isFading());
        QVERIFY(loadedForm<frmPuzzle>());
        QTRY_VERIFY(!loadedForm<frmPuzzle>());
        modFadeInOut::FadeActive = false;
    }

    // --- printing -----------------------------------------------------------------------------

    void printDialogue_data()
    {
        QTest::addColumn<int>("solutionAnswer");
        QTest::addColumn<bool>("personalize");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("jobs");
        QTest::addColumn<QString>("dedication");
        // With the setting "PrintDialog", the print dialog's pages ("cancel": it was cancelled).
        QTest::addColumn<QString>("dialogPages");
        QTest::newRow("puzzle only") << int(MsgAnswer::No) << false << "" << 1 << ""
                                     << "";
        QTest::newRow("with solution") << int(MsgAnswer::Yes) << false << "" << 2 << ""
                                       << "";
        QTest::newRow("dedicated") << int(MsgAnswer::Yes) << true << "  Grandma  " << 2 << "Grandma"
                                   << "";
        QTest::newRow("dedication cancelled") << int(MsgAnswer::No) << true << QString() << 1 << ""
                                              << "";
        QTest::newRow("cancelled") << int(MsgAnswer::Cancel) << false << "" << 0 << ""
                                   << "";
        QTest::newRow("print dialog, all pages") << int(MsgAnswer::Yes) << false << "" << 2 << ""
                                                 << "1-2";
        QTest::newRow("print dialog, solution page") << int(MsgAnswer::Yes) << false << "" << 1 << ""
                                                     << "2-2";
        QTest::newRow("print dialog cancelled") << int(MsgAnswer::Yes) << false << "" << 0 << ""
                                                << "cancel";
    }
    void printDialogue()
    {
        QFETCH(int, solutionAnswer);
        QFETCH(bool, personalize);
        QFETCH(QString, typed);
        QFETCH(int, jobs);
        QFETCH(QString, dedication);
        QFETCH(QString, dialogPages);

        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Brivamo", "Brivamo");
        settings.setValue("Defaults/PrintDialog", dialogPages.isEmpty() ? "False" : "True");
        int asked = 0;
        setPrintChoiceAsker([&](QWidget *, int pageCount) {
            ++asked;
            return PrintChoice{
                dialogPages == "cancel" || pageCount != 2, {}, {}, 1, dialogPages.section('-', 0, 0).toInt(),
                dialogPages.section('-', 1, 1).toInt()};
        });
        const auto restore = qScopeGuard([&] {
            setPrintChoiceAsker({});
            settings.remove("Defaults/PrintDialog");
        });

        frmPuzzle &w = open("ZOO", Animals);
        w.cmdMakePuzzle->click();
        PrintJobs sink;
        bool busyWhilePrinting = true;
        setPrinterFactory([&](QWidget *) -> std::unique_ptr<Printer> {
            ++sink.opened;
            busyWhilePrinting = busyWhilePrinting && !w.cmdPrintPuzzle->Enabled() && !w.cmdLobby->Enabled() &&
                                !w.cmdMakePuzzle->Enabled() && !w.cmdViewPuzzle->Enabled();
            return std::make_unique<SinkPrinter>(sink);
        });
        sink.onFinish = [&] {
            busyWhilePrinting = busyWhilePrinting && !w.isEnabled() && w.cursor().shape() == Qt::WaitCursor;
        };
        ScriptedDialogs dialogs;
        dialogs.queueMessage(MsgAnswer(solutionAnswer));
        if (solutionAnswer != int(MsgAnswer::Cancel)) {
            dialogs.queueMessage(personalize ? MsgAnswer::Yes : MsgAnswer::No);
            if (personalize)
                dialogs.queueInput(typed);
        }
        w.cmdPrintPuzzle->click();

        QCOMPARE(dialogs.pendingAnswers(), 0);
        QCOMPARE(dialogs.calls().at(0).caption, QStringLiteral("Brivamo"));
        QCOMPARE(dialogs.calls().at(0).text, QStringLiteral("Do you want to print a Solution Page also?"));
        QCOMPARE(dialogs.calls().at(0).buttons, MsgButtons::YesNoCancel);
        QCOMPARE(dialogs.calls().at(0).icon, MsgIcon::Question);
        if (solutionAnswer != int(MsgAnswer::Cancel)) {
            QCOMPARE(dialogs.calls().at(1).caption, QStringLiteral("Personalize?"));
            QCOMPARE(dialogs.calls().at(1).text, "Do you want to" + CrLf + "personalize this printout?");
            QCOMPARE(dialogs.calls().at(1).buttons, MsgButtons::YesNo);
        }
        if (personalize) {
            QCOMPARE(dialogs.calls().at(2).caption, QStringLiteral("Personalize this printout"));
            QCOMPARE(dialogs.calls().at(2).text,
                     "Okay-- Who are you printing" + CrLf + "this scrambled quote for?");
            QCOMPARE(dialogs.calls().at(2).defaultText, QString());
        }

        QCOMPARE(sink.jobs.size(), jobs);
        QCOMPARE(sink.opened, jobs);
        QVERIFY(busyWhilePrinting);
        QCOMPARE(asked, dialogPages.isEmpty() ? 0 : 1);
        if (dialogPages == "2-2")
            QVERIFY(hasText(sink.jobs[0], "Brivamo Solution (Category: ZOO)"));
        else if (jobs >= 1) {
            QVERIFY(hasText(sink.jobs[0], "Brivamo Puzzle (Category: ZOO)"));
            QCOMPARE(hasText(sink.jobs[0], dedication), !dedication.isEmpty());
        }
        if (jobs == 2) {
            QVERIFY(hasText(sink.jobs[1], "Brivamo Solution (Category: ZOO)"));
            QVERIFY(!hasText(sink.jobs[1], "This puzzle was made especially for "));
        }
        QCOMPARE(w.dedicationName(), dedication);
        // Everything is as before.
        QVERIFY(w.isEnabled());
        QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
        for (OstrelButton *b : {w.cmdMakePuzzle, w.cmdPrintPuzzle, w.cmdHelp, w.cmdLobby, w.cmdViewPuzzle})
            QVERIFY2(b->Enabled(), qPrintable(b->objectName()));
    }

    // The solution question keeps its text and offers the outlined key in a check box that shows
    // the setting; the solution page follows the box, and a changed choice is stored unless the
    // question is cancelled.
    void outlinedKeyFromTheSolutionQuestion_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("tick"); // -1: left as shown
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("default user") << QString() << int(MsgAnswer::Yes) << -1 << QString();
        QTest::newRow("ticked") << QString() << int(MsgAnswer::Yes) << 1 << "Outline";
        QTest::newRow("unticked") << "Outline" << int(MsgAnswer::Yes) << 0 << "Dots";
        QTest::newRow("cancelled") << "Dots" << int(MsgAnswer::Cancel) << 1 << "Dots";
    }
    void outlinedKeyFromTheSolutionQuestion()
    {
        QFETCH(QString, stored);
        QFETCH(int, answer);
        QFETCH(int, tick);
        QFETCH(QString, storedAfter);
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Brivamo", "Brivamo")
            .remove("Defaults/AnswerKey");
        if (!stored.isNull())
            basBrivamo::WriteSetting("Brivamo", "Defaults", "AnswerKey", stored);
        frmPuzzle &w = open("ZOO", Animals);
        w.scrollSquareSize->setValue(10);
        w.cmdMakePuzzle->click();
        PrintJobs sink;
        setPrinterFactory([&](QWidget *) { return std::make_unique<SinkPrinter>(sink); });
        ScriptedDialogs dialogs;
        tick < 0 ? dialogs.queueMessage(MsgAnswer(answer))
                 : dialogs.queueMessage(MsgAnswer(answer), tick == 1);
        if (answer == int(MsgAnswer::Yes))
            dialogs.queueMessage(MsgAnswer::No);
        w.cmdPrintPuzzle->click();

        const ScriptedDialogs::Call &question = dialogs.calls().at(0);
        QCOMPARE(question.text, QStringLiteral("Do you want to print a Solution Page also?"));
        QCOMPARE(question.checkBox->text, QStringLiteral("&Outline the words on the solution page"));
        QCOMPARE(question.checkBox->checked, stored == "Outline");
        QCOMPARE(basBrivamo::ReadSetting("Brivamo", "Defaults", "AnswerKey"), storedAfter);
        QCOMPARE(sink.jobs.size(), answer == int(MsgAnswer::Yes) ? 2 : 0);
        if (answer == int(MsgAnswer::Yes)) {
            // An outlined key rings every word and shows every letter; the classic one has dots.
            const bool outlined = storedAfter == "Outline";
            QCOMPARE(countOf(sink.jobs[1], RecordingPrinter::Operation::Outline),
                     outlined ? Animals.size() : 0);
            QCOMPARE(hasText(sink.jobs[1], QString(PuzzleGrid::Dot)), !outlined);
            QCOMPARE(countOf(sink.jobs[0], RecordingPrinter::Operation::Outline), 0);
        }
    }

    // The hidden message button: a new or cleared message discards the puzzle, the fill spells it
    // row by row and the solution page names it. A message no square could hold, or one spelling
    // a blocked word, is refused at once; one too long for the square when a puzzle is made.
    void hiddenMessageButton()
    {
        frmPuzzle &w = open("ZOO", Animals);
        w.setBlockedWords({"OWL"});
        w.scrollSquareSize->setValue(10);
        w.cmdMakePuzzle->click();
        ScriptedDialogs dialogs;
        const QString message = QStringLiteral("Well done, class 4b!");
        dialogs.queueInput("  " + message + " ");
        w.cmdHiddenMessage->click();
        QCOMPARE(w.hiddenMessage(), message);
        QCOMPARE(w.cmdHiddenMessage->Caption(), "&Hidden Message:" + CrLf + "14 Letters");
        QVERIFY(isIdle(w));

        w.cmdMakePuzzle->click();
        QString fill;
        for (int r = 1; r <= 10; ++r)
            for (int c = 1; c <= 10; ++c)
                if (w.grid()->solution(r, c) == PuzzleGrid::Dot)
                    fill += w.grid()->puzzle(r, c);
        QVERIFY2(fill.startsWith(QStringLiteral("WELLDONECLASSB")), qPrintable(fill));
        PrintJobs sink;
        setPrinterFactory([&](QWidget *) { return std::make_unique<SinkPrinter>(sink); });
        dialogs.queueMessage(MsgAnswer::Yes);
        dialogs.queueMessage(MsgAnswer::No);
        w.cmdPrintPuzzle->click();
        QVERIFY(hasText(sink.jobs[1], "Hidden message: " + message));

        // Refused: more letters than the largest square leaves, a blocked word (the window's own
        // list), Cancel.
        for (const QString &typed : {QString(900, u'A'), QStringLiteral("Owl!"), QString()}) {
            dialogs.queueInput(typed);
            if (!typed.isNull())
                dialogs.queueMessage(MsgAnswer::Ok);
            w.cmdHiddenMessage->click();
            QCOMPARE(dialogs.last().kind,
                     typed.isNull() ? ScriptedDialogs::Call::Input : ScriptedDialogs::Call::Message);
            QCOMPARE(w.hiddenMessage(), message);
            QCOMPARE(w.state(), frmPuzzle::State::Finished);
        }

        // Too long for this square: told when making, and the window stays ready.
        dialogs.queueInput(QString(80, u'E'));
        w.cmdHiddenMessage->click();
        dialogs.queueMessage(MsgAnswer::Ok);
        w.cmdMakePuzzle->click();
        QCOMPARE(dialogs.last().text,
                 "The hidden message has 80 letters, but a 10 by 10 puzzle of this list is "
                 "sure to have room for only 66: 14 too many." +
                     CrLf + CrLf + "Please choose a larger square or a shorter message.");
        QVERIFY(isIdle(w));

        dialogs.queueInput(QStringLiteral(""));
        w.cmdHiddenMessage->click();
        QCOMPARE(w.hiddenMessage(), QString());
        QCOMPARE(dialogs.pendingAnswers(), 0);
    }

    // With no printer the user names a PDF file; a name that leads to a word list (a link, or
    // another name of its file) is refused and asked for again, and the list stays as it was.
    void pdfFileNeverReplacesAWordList_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("link") << "link";
        QTest::newRow("hard link") << "hard link";
        QTest::newRow("new file") << "new";
    }
    void pdfFileNeverReplacesAWordList()
    {
        QFETCH(QString, kind);
        QTemporaryDir folder;
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(folder.path()));
        const auto restore = qScopeGuard([&] { QDir::setCurrent(previous); });
        const QByteArray listBytes = "EMU\r\nZEBRA\r\n";
        QFile list("ZOO.lst");
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write(listBytes) == listBytes.size());
        list.close();
        const QString target = folder.filePath("zoo.pdf");
        if (kind == "link")
            QVERIFY(QFile::link("ZOO.lst", target));
        else if (kind == "hard link")
            QCOMPARE(::link("ZOO.lst", QFile::encodeName(target).constData()), 0);

        frmPuzzle &w = open("ZOO", Animals);
        w.cmdMakePuzzle->click();
        ScriptedDialogs dialogs;
        dialogs.queueMessage(MsgAnswer::No);
        dialogs.queueMessage(MsgAnswer::No);
        dialogs.queueSaveFile(target);
        if (kind != "new") {
            dialogs.queueMessage(MsgAnswer::Ok);
            dialogs.queueSaveFile(QString());
        }
        w.cmdPrintPuzzle->click();
        QCOMPARE(dialogs.pendingAnswers(), 0);
        QCOMPARE(dialogs.calls().at(2).caption,
                 QStringLiteral("No printer is available, so save the printout as a PDF file"));
        if (kind == "new") {
            QProcess tool;
            tool.start("pdftotext", {target, "-"});
            QVERIFY(tool.waitForFinished(30000));
            QVERIFY(tool.readAllStandardOutput().contains("Brivamo Puzzle (Category: ZOO)"));
            return;
        }
        QCOMPARE(dialogs.calls().at(3).icon, MsgIcon::Critical);
        QVERIFY2(dialogs.calls().at(3).text.contains("\"ZOO.lst\""), qPrintable(dialogs.calls().at(3).text));
        QCOMPARE(dialogs.calls().at(4).defaultText, target);
        QVERIFY(list.open(QIODevice::ReadOnly));
        QCOMPARE(list.readAll(), listBytes);
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 2);
    }

    // The remembered name survives a printout without dedication and is offered again.
    void dedicationRemembered()
    {
        frmPuzzle &w = open("ZOO", Animals);
        w.cmdMakePuzzle->click();
        PrintJobs sink;
        setPrinterFactory([&](QWidget *) { return std::make_unique<SinkPrinter>(sink); });
        ScriptedDialogs dialogs;
        dialogs.queueMessage(MsgAnswer::No);
        dialogs.queueMessage(MsgAnswer::Yes);
        dialogs.queueInput("Sam");
        dialogs.queueMessage(MsgAnswer::No);
        dialogs.queueMessage(MsgAnswer::No);
        dialogs.queueMessage(MsgAnswer::No);
        dialogs.queueMessage(MsgAnswer::Yes);
        dialogs.queueInput("Sam");
        for (int i = 0; i < 3; ++i)
            w.cmdPrintPuzzle->click();
        QCOMPARE(sink.jobs.size(), 3);
        QVERIFY(hasText(sink.jobs[0], "Sam"));
        QVERIFY(!hasText(sink.jobs[1], "Sam"));
        QVERIFY(hasText(sink.jobs[2], "Sam"));
        QCOMPARE(dialogs.last().defaultText, QStringLiteral("Sam"));
    }

    // Printing into a PDF file puts both pages into it; a failing device is reported.
    void printToPdf()
    {
        QTemporaryDir folder;
        const QString pdf = folder.filePath("zoo.pdf");
        frmPuzzle &w = open("ZOO", Animals);
        w.scrollSquareSize->setValue(10);
        w.cmdMakePuzzle->click();
        setPrinterFactory([&](QWidget *) { return std::make_unique<QtPrinter>(pdf); });
        ScriptedDialogs dialogs;
        dialogs.queueMessage(MsgAnswer::Yes);
        dialogs.queueMessage(MsgAnswer::No);
        w.cmdPrintPuzzle->click();

        QProcess tool;
        tool.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(tool.waitForFinished(30000));
        const QString text = QString::fromUtf8(tool.readAllStandardOutput());
        const QStringList pages = text.split(u'\f', Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 2, qPrintable(text));
        QVERIFY(pages[0].contains("Brivamo Puzzle (Category: ZOO)"));
        QVERIFY(pages[1].contains("Brivamo Solution (Category: ZOO)"));
        QVERIFY(pages[1].contains(QStringLiteral("·")));
        for (const QString &word : Animals)
            QVERIFY(pages[0].contains(word));

        // A file that cannot be written: the user is told, and the window is usable again.
        setPrinterFactory(
            [&](QWidget *) { return std::make_unique<QtPrinter>(folder.filePath("none/x.pdf")); });
        dialogs.clearCalls();
        dialogs.queueMessage(MsgAnswer::No);
        dialogs.queueMessage(MsgAnswer::No);
        dialogs.queueMessage(MsgAnswer::Ok);
        w.cmdPrintPuzzle->click();
        QCOMPARE(dialogs.last().caption, QStringLiteral("Error"));
        QCOMPARE(dialogs.last().icon, MsgIcon::Critical);
        QVERIFY2(dialogs.last().text.contains(folder.filePath("none/x.pdf")),
                 qPrintable(dialogs.last().text));
        QVERIFY(w.isEnabled());
        QVERIFY(w.cmdPrintPuzzle->Enabled());
    }
};

QTEST_MAIN(TestFrmPuzzle)
#include "tst_frm_puzzle.moc"
