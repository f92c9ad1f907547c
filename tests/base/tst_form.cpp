#include "base/form.h"

#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

using namespace brivamo;

namespace {

// A window that counts its lifecycle handlers across instances.
struct Counters
{
    int loads = 0;
    int activations = 0;
    int unloads = 0;
    int constructed = 0;
    int destroyed = 0;
};
Counters g_counts;

class frmCounting : public Form
{
    Q_OBJECT
public:
    frmCounting()
    {
        ++g_counts.constructed;
        edit = new QLineEdit(this);
        okButton = new QPushButton(QStringLiteral("OK"), this);
        otherButton = new QPushButton(QStringLiteral("Other"), this);
        connect(okButton, &QPushButton::clicked, this, [this] { ++okClicks; });
        connect(otherButton, &QPushButton::clicked, this, [this] { ++otherClicks; });
    }
    ~frmCounting() override { ++g_counts.destroyed; }

    QLineEdit *edit;
    QPushButton *okButton;
    QPushButton *otherButton;
    int okClicks = 0;
    int otherClicks = 0;
    QList<int> keysSeen;
    bool consumeF1 = true;
    bool refuseUserClose = false;
    QList<UnloadMode> queries;

protected:
    void Form_Load() override { ++g_counts.loads; }
    void Form_Activate() override { ++g_counts.activations; }
    void Form_Unload() override { ++g_counts.unloads; }
    bool Form_KeyDown(int key, Qt::KeyboardModifiers) override
    {
        keysSeen.append(key);
        return consumeF1 && key == Qt::Key_F1;
    }
    bool Form_QueryUnload(UnloadMode mode) override
    {
        queries.append(mode);
        return refuseUserClose && mode == UnloadMode::ControlMenu;
    }
};

class frmOther : public Form
{
    Q_OBJECT
};

} // namespace

class TestForm : public QObject
{
    Q_OBJECT
private slots:
    void init() { g_counts = {}; }
    void cleanup()
    {
        destroyAllForms();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void createdOnceAndLoadedOnFirstUse()
    {
        QVERIFY(!loadedForm<frmCounting>());
        frmCounting &first = form<frmCounting>();
        frmCounting &again = form<frmCounting>();
        QCOMPARE(&first, &again);
        QCOMPARE(g_counts.loads, 1);
        QCOMPARE(g_counts.activations, 0);
        QCOMPARE(loadedForm<frmCounting>(), &first);
        QVERIFY(!loadedForm<frmOther>());
    }

    void firstActivationRunsOncePerInstance()
    {
        form<frmCounting>().Show();
        form<frmCounting>().Hide();
        form<frmCounting>().Show();
        QCOMPARE(g_counts.activations, 1);
        QVERIFY(form<frmCounting>().firstActivationDone());
    }

    void unloadClearsReferenceAndNextUseLoadsAgain()
    {
        frmCounting *first = &form<frmCounting>();
        first->Show();
        QSignalSpy unloaded(first, &Form::unloaded);
        QVERIFY(first->Unload());
        QCOMPARE(unloaded.count(), 1);
        QCOMPARE(g_counts.unloads, 1);
        QVERIFY(!loadedForm<frmCounting>());
        QVERIFY(!first->isVisible());

        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(g_counts.destroyed, 1);

        form<frmCounting>().Show();
        QCOMPARE(g_counts.constructed, 2);
        QCOMPARE(g_counts.loads, 2);
        QCOMPARE(g_counts.activations, 2);
    }

    void userCloseAsksQueryUnloadWhichMayRefuse()
    {
        frmCounting &w = form<frmCounting>();
        w.Show();
        w.refuseUserClose = true;
        QVERIFY(!w.close());
        QVERIFY(loadedForm<frmCounting>());
        QVERIFY(w.isVisible());
        // Unloading from code is not the user's close command and goes ahead.
        QVERIFY(w.Unload());
        QCOMPARE(w.queries, (QList<UnloadMode>{UnloadMode::ControlMenu, UnloadMode::FormCode}));
        QVERIFY(!loadedForm<frmCounting>());
    }

    void unloadAllUnloadsEveryWindow()
    {
        form<frmCounting>().Show();
        form<frmOther>().Show();
        QCOMPARE(loadedForms().size(), 2);
        unloadAllForms();
        QVERIFY(loadedForms().isEmpty());
        QCOMPARE(g_counts.unloads, 1);
    }

    void modalShowReturnsWhenWindowGoes_data()
    {
        QTest::addColumn<bool>("unload");
        QTest::newRow("unloaded") << true;
        QTest::newRow("hidden") << false;
    }
    void modalShowReturnsWhenWindowGoes()
    {
        QFETCH(bool, unload);
        frmCounting &w = form<frmCounting>();
        // Another window's timer keeps ticking during the modal wait.
        int ticks = 0;
        QTimer other;
        other.setInterval(5);
        connect(&other, &QTimer::timeout, [&] { ++ticks; });
        other.start();
        bool wasModal = false;
        QTimer::singleShot(150, [&] {
            wasModal = w.isShownModal() && w.windowModality() == Qt::ApplicationModal;
            if (unload)
                w.Unload();
            else
                w.Hide();
        });
        QElapsedTimer clock;
        clock.start();
        w.ShowModal();
        QVERIFY(clock.elapsed() >= 140);
        QVERIFY(wasModal);
        QVERIFY(ticks >= 3);
        QCOMPARE(g_counts.activations, 1);
        QCOMPARE(loadedForm<frmCounting>() != nullptr, !unload);
    }

    void fadeTimerRunsDuringModalWait()
    {
        frmCounting &behind = form<frmCounting>();
        behind.Show();
        frmOther &front = form<frmOther>();
        behind.StartFade(255, 204, 2, false);
        QTimer::singleShot(0, [&] {
            behind.WaitForFade();
            front.Unload();
        });
        front.ShowModal();
        QVERIFY(!behind.isFading());
        QCOMPARE(behind.fadeRequest.currentAlpha, qint16(204));
    }

    void keyPreviewSeesKeysBeforeControls()
    {
        frmCounting &w = form<frmCounting>();
        w.Show();
        w.edit->setFocus();
        QTest::keyClick(w.edit, Qt::Key_A);
        QTest::keyClick(w.edit, Qt::Key_F1);
        QTest::keyClick(w.edit, Qt::Key_F2); // ignored by the control, so it travels on to the window
        QTest::keyClick(w.edit, Qt::Key_B);
        // Each key offered exactly once; F1 consumed, the letters reached the control.
        QCOMPARE(w.keysSeen, (QList<int>{Qt::Key_A, Qt::Key_F1, Qt::Key_F2, Qt::Key_B}));
        QCOMPARE(w.edit->text(), QStringLiteral("ab"));
        // Keys sent to the window itself are previewed too.
        QTest::keyClick(&w, Qt::Key_F1);
        QCOMPARE(w.keysSeen.size(), 5);
    }

    void enterAndEscapeFollowTheRoles()
    {
        frmCounting &w = form<frmCounting>();
        w.Show();
        w.edit->setFocus();
        QTest::keyClick(w.edit, Qt::Key_Return);
        QCOMPARE(w.okClicks + w.otherClicks, 0);

        QSignalSpy moved(&w, &Form::defaultButtonChanged);
        w.setDefaultButton(w.okButton);
        int cancelCalls = 0;
        w.setCancelButton(w.otherButton, [&] { ++cancelCalls; });
        QVERIFY(Form::isDefaultButton(w.okButton));
        QVERIFY(!Form::isDefaultButton(w.otherButton));
        QVERIFY(Form::isCancelButton(w.otherButton));

        QTest::keyClick(w.edit, Qt::Key_Return);
        QTest::keyClick(w.edit, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(w.edit, Qt::Key_Escape);
        QCOMPARE(w.okClicks, 2);
        QCOMPARE(cancelCalls, 1);
        QCOMPARE(w.otherClicks, 0);

        // The default role moves; the previous holder loses it.
        w.setDefaultButton(w.otherButton);
        QCOMPARE(moved.count(), 2);
        QCOMPARE(moved.last().at(0).value<QWidget *>(), w.okButton);
        QVERIFY(!Form::isDefaultButton(w.okButton));
        QTest::keyClick(w.edit, Qt::Key_Return);
        QCOMPARE(w.otherClicks, 1);
        QCOMPARE(w.okClicks, 2);

        // A hidden or disabled role button does nothing; the key goes on to the control.
        w.otherButton->hide();
        QTest::keyClick(w.edit, Qt::Key_Return);
        w.otherButton->show();
        w.otherButton->setEnabled(false);
        QTest::keyClick(w.edit, Qt::Key_Return);
        QCOMPARE(w.otherClicks, 1);

        // The window's own key handler comes first.
        w.otherButton->setEnabled(true);
        w.consumeF1 = false;
        w.keysSeen.clear();
        QTest::keyClick(w.edit, Qt::Key_Escape);
        QCOMPARE(w.keysSeen, QList<int>{Qt::Key_Escape});
        QCOMPARE(cancelCalls, 2);
    }

    void disabledWindowTakesNoKeys()
    {
        frmCounting &w = form<frmCounting>();
        w.Show();
        w.setDefaultButton(w.okButton);
        w.setEnabled(false);
        QTest::keyClick(&w, Qt::Key_Return);
        QVERIFY(w.keysSeen.isEmpty());
        QCOMPARE(w.okClicks, 0);
    }

    void twipsAtStandardResolution_data()
    {
        QTest::addColumn<bool>("frameless");
        QTest::addColumn<QSize>("client");
        QTest::newRow("captioned") << false << QSize(547 - 6, 231 - 25);
        QTest::newRow("frameless") << true << QSize(547, 231);
    }
    void twipsAtStandardResolution()
    {
        QFETCH(bool, frameless);
        QFETCH(QSize, client);
        frmCounting &w = form<frmCounting>();
        if (Form::dotsPerInch(&w) != 96.0)
            QSKIP("screen is not at 96 DPI");
        if (frameless)
            w.setWindowFlag(Qt::FramelessWindowHint);
        w.setSizeTwips(8200, 3465);
        QCOMPARE(w.size(), client);
        Form::placeTwips(w.okButton, 5985, 2625, 2010, 645);
        QCOMPARE(w.okButton->geometry(), QRect(399, 175, 134, 43));
        QCOMPARE(Form::pixelsToTwips(43, &w), 645);
    }
};

QTEST_MAIN(TestForm)
#include "tst_form.moc"
