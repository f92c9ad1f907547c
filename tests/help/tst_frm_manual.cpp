#include "base/window_routines.h"
#include "common/recording_link_opener.h"
#include "common/scripted_dialogs.h"
#include "controls/ostrel_button.h"
#include "effects/fade.h"
#include "help/frm_manual.h"
#include "help/help_texts.h"
#include "platform/printer_qt.h"
#include "platform/printer_recording.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <cstring>

using namespace brivamo;

namespace {

// The help window as the lobby or the puzzle window would open it, but modeless, so the test
// can drive it.
frmManual &openHelp(int topicIndex)
{
    HelpTopicIndex = qint16(topicIndex);
    frmManual &window = form<frmManual>();
    window.Show();
    return window;
}

QList<int> checkedItems(const frmManual &window)
{
    QList<int> checked;
    for (int i = 1; i <= HelpMenuItemCount; ++i) {
        if (window.menuHelpTopic(i)->isChecked())
            checked.append(i);
    }
    return checked;
}

QString shownText(int textId)
{
    return toDisplayLineBreaks(helpText(textId));
}

} // namespace

class TestFrmManual : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowAndControls();
    void opensOnTopic_data();
    void opensOnTopic();
    void menuItems_data();
    void menuItems();
    void aboutBoxLeavesTheTopic();
    void menuPopsUpAtTheButton_data();
    void menuPopsUpAtTheButton();
    void returnAndEscCloseTheWindow_data();
    void returnAndEscCloseTheWindow();
    void showHelpModalWaitsForTheWindow();
    void fades();
    void printsTheShownTopic();
    void printsToPdf();
    void printFailureIsShown_data();
    void printFailureIsShown();
    void screenshot();

private:
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    RecordingPrinter *m_printer = nullptr; // owned by the printing code while it prints
    QList<RecordingPrinter> m_printed;
    std::unique_ptr<RecordingLinkOpener> m_links;
};

void TestFrmManual::init()
{
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_printed.clear();
    m_links = std::make_unique<RecordingLinkOpener>();
    setPrinterFactory([this](QWidget *) -> std::unique_ptr<Printer> {
        // Keeps a copy of what was printed once the job is done.
        class Keeper : public RecordingPrinter
        {
        public:
            explicit Keeper(QList<RecordingPrinter> *sink) : m_sink(sink) {}
            ~Keeper() override { m_sink->append(*this); }

        private:
            QList<RecordingPrinter> *m_sink;
        };
        return std::make_unique<Keeper>(&m_printed);
    });
}

void TestFrmManual::cleanup()
{
    destroyAllForms();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setPrinterFactory({});
    m_links.reset();
    modFadeInOut::FadeActive = false;
    m_dialogs.reset();
}

void TestFrmManual::windowAndControls()
{
    frmManual &window = openHelp(HelpTopicLobby);
    QCOMPARE(window.windowTitle(), QStringLiteral(" Help Window"));
    QCOMPARE(window.cmdHelpTopic()->Caption(), QStringLiteral("Help Topics\r\n<F1>"));
    QCOMPARE(window.cmdPrintHelp()->Caption(), QStringLiteral("&Print"));
    QCOMPARE(window.cmdPrintHelp()->toolTip(), QStringLiteral(" Be sure your printer is ready! "));
    QCOMPARE(window.cmdReturn()->Caption(), QStringLiteral("&Return\r\n<Esc>"));
    QCOMPARE(window.defaultButton(), window.cmdHelpTopic());
    QCOMPARE(window.cancelButton(), window.cmdReturn());

    // The stored definitions gave every button its picture.
    for (OstrelButton *button : {window.cmdHelpTopic(), window.cmdPrintHelp(), window.cmdReturn()})
        QVERIFY2(!button->PictureNormal().isNull(), qPrintable(button->objectName()));

    QCOMPARE(window.txtManual()->font().pointSize(), 9);
    QVERIFY(window.labelHelpTopic()->font().bold());
}

void TestFrmManual::opensOnTopic_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("textId");

    QTest::newRow("from the lobby") << 3 << QStringLiteral("The Brivamo Lobby") << 1100;
    QTest::newRow("from the puzzle window") << 4 << QStringLiteral("Making the Puzzle") << 1200;
    QTest::newRow("overview") << 1 << QStringLiteral("Overview") << 1000;
}

void TestFrmManual::opensOnTopic()
{
    QFETCH(int, index);
    QFETCH(QString, caption);
    QFETCH(int, textId);

    frmManual &window = openHelp(index);
    QCOMPARE(window.CurrentTopic(), qint16(index));
    QCOMPARE(window.labelHelpTopic()->text(), caption);
    QCOMPARE(window.txtManual()->toPlainText(), shownText(textId));
    QVERIFY(!window.txtManual()->toPlainText().isEmpty());
    QCOMPARE(checkedItems(window), QList<int>{index});
    QCOMPARE(m_dialogs->count(), 0);
}

void TestFrmManual::menuItems_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("topic");
    QTest::addColumn<QStringList>("links");

    const QStringList none;
    QTest::newRow("another topic") << 3 << 6 << 6 << none;
    QTest::newRow("overview") << 4 << 1 << 1 << none;
    QTest::newRow("the maker") << 3 << 9 << 9 << none;
    QTest::newRow("topic already shown") << 4 << 4 << 4 << none;
    QTest::newRow("exit this menu") << 3 << 14 << 3 << none;
    QTest::newRow("e-mail") << 3 << 11 << 3 << QStringList{QStringLiteral("mailto:support@ostrel.example")};
    QTest::newRow("web page") << 4 << 12 << 4 << QStringList{QStringLiteral("http://www.ostrel.example")};
}

void TestFrmManual::menuItems()
{
    QFETCH(int, start);
    QFETCH(int, index);
    QFETCH(int, topic);
    QFETCH(QStringList, links);

    frmManual &window = openHelp(start);
    window.menuHelpTopic(index)->trigger();

    QCOMPARE(window.CurrentTopic(), qint16(topic));
    QCOMPARE(window.labelHelpTopic()->text(), helpMenuItem(topic)->caption);
    QCOMPARE(window.txtManual()->toPlainText(), shownText(helpMenuItem(topic)->number));
    QCOMPARE(checkedItems(window), QList<int>{topic});
    QCOMPARE(m_links->links, links);
    QCOMPARE(m_dialogs->count(), 0);
}

void TestFrmManual::aboutBoxLeavesTheTopic()
{
    frmManual &window = openHelp(HelpTopicPuzzle);
    m_dialogs->queueMessage(MsgAnswer::Ok);
    window.menuHelpTopic(8)->trigger();

    QCOMPARE(m_dialogs->count(), 1);
    const ScriptedDialogs::Call &box = m_dialogs->last();
    QCOMPARE(box.caption, QStringLiteral("About Brivamo"));
    QCOMPARE(box.icon, MsgIcon::Information);
    QCOMPARE(box.buttons, MsgButtons::OkOnly);
    QCOMPARE(box.text, window.AboutText());
    QVERIFY2(
        box.text.startsWith(QStringLiteral("Brivamo\r\nVersion w4.48.19\r\n\r\nWord Puzzle Maker\r\n\u00a9")),
        qPrintable(box.text));

    QCOMPARE(window.CurrentTopic(), HelpTopicPuzzle);
    QCOMPARE(window.labelHelpTopic()->text(), QStringLiteral("Making the Puzzle"));
    QCOMPARE(checkedItems(window), QList<int>{HelpTopicPuzzle});
}

void TestFrmManual::menuPopsUpAtTheButton_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("F1") << int(Qt::Key_F1);
    QTest::newRow("Enter clicks the default button") << int(Qt::Key_Return);
}

void TestFrmManual::menuPopsUpAtTheButton()
{
    QFETCH(int, key);

    frmManual &window = openHelp(HelpTopicLobby);
    QApplication::setActiveWindow(&window);
    window.txtManual()->setFocus();
    QVERIFY(!window.menuHelpMenu()->isVisible());

    // The key goes to the text box, which has the focus; the window sees it first.
    QTest::keyClick(window.txtManual(), Qt::Key(key));
    QTRY_VERIFY(window.menuHelpMenu()->isVisible());
    const QPoint expected = window.mapToGlobal(window.cmdHelpTopic()->pos() +
                                               QPoint(window.twipsToPixels(frmManual::MenuOffsetXTwips),
                                                      window.twipsToPixels(frmManual::MenuOffsetYTwips)));
    QCOMPARE(window.menuHelpMenu()->pos(), expected);
    // Nothing was typed into the text.
    QCOMPARE(window.txtManual()->toPlainText(), shownText(1100));

    // Picking an item from the open menu shows its topic.
    window.menuHelpTopic(6)->trigger();
    window.menuHelpMenu()->close();
    QCOMPARE(window.labelHelpTopic()->text(), QStringLiteral("Tech Specs"));
}

void TestFrmManual::returnAndEscCloseTheWindow_data()
{
    QTest::addColumn<bool>("useEsc");
    QTest::newRow("Return button") << false;
    QTest::newRow("Esc") << true;
}

void TestFrmManual::returnAndEscCloseTheWindow()
{
    QFETCH(bool, useEsc);

    frmManual &window = openHelp(HelpTopicLobby);
    QSignalSpy unloaded(&window, &Form::unloaded);
    if (useEsc) {
        QApplication::setActiveWindow(&window);
        window.txtManual()->setFocus();
        QTest::keyClick(window.txtManual(), Qt::Key_Escape);
    } else {
        QTest::mouseClick(window.cmdReturn(), Qt::LeftButton);
    }
    QTRY_COMPARE(unloaded.count(), 1);
    QCOMPARE(loadedForm<frmManual>(), nullptr);

    // The next opening is a fresh window on its own topic.
    frmManual &again = openHelp(HelpTopicPuzzle);
    QCOMPARE(again.CurrentTopic(), HelpTopicPuzzle);
    QCOMPARE(checkedItems(again), QList<int>{HelpTopicPuzzle});
}

void TestFrmManual::showHelpModalWaitsForTheWindow()
{
    bool shownWhileWaiting = false;
    QTimer::singleShot(0, this, [&] {
        frmManual *window = loadedForm<frmManual>();
        QVERIFY(window);
        shownWhileWaiting =
            window->isVisible() && window->labelHelpTopic()->text() == QStringLiteral("Making the Puzzle");
        window->cmdReturn_Click();
    });
    showHelpModal(HelpTopicPuzzle);
    QVERIFY(shownWhileWaiting);
    QCOMPARE(HelpTopicIndex, HelpTopicPuzzle);
    QCOMPARE(loadedForm<frmManual>(), nullptr);
}

// This platform cannot show translucency, so the window's load turns fading off; switched on
// behind its back, the window fades in at its first showing and fades out on Return.
void TestFrmManual::fades()
{
    HelpTopicIndex = HelpTopicLobby;
    frmManual &window = form<frmManual>();
    QVERIFY(!modFadeInOut::FadeActive);
    modFadeInOut::FadeActive = true;
    window.Show();
    QVERIFY(window.isFading());
    QCOMPARE(window.fadeRequest.startAlpha, quint8(0));
    QCOMPARE(window.fadeRequest.endAlpha, quint8(255));
    QCOMPARE(window.fadeRequest.step, quint8(20));
    QVERIFY(!window.fadeRequest.unloadWhenDone);
    QTRY_VERIFY(!window.isFading());
    QVERIFY(window.isEnabled());

    QSignalSpy unloaded(&window, &Form::unloaded);
    window.cmdReturn_Click();
    QVERIFY(window.isFading());
    QCOMPARE(window.fadeRequest.startAlpha, quint8(255));
    QCOMPARE(window.fadeRequest.endAlpha, quint8(0));
    QCOMPARE(window.fadeRequest.step, quint8(20));
    QCOMPARE(unloaded.count(), 0); // the fade's end unloads it
    QTRY_COMPARE(unloaded.count(), 1);
    QCOMPARE(loadedForm<frmManual>(), nullptr);
    modFadeInOut::FadeActive = false;
}

void TestFrmManual::printsTheShownTopic()
{
    frmManual &window = openHelp(HelpTopicLobby);
    window.menuHelpTopic(6)->trigger(); // Tech Specs
    m_dialogs->queueMessage(MsgAnswer::Ok);
    window.menuHelpTopic(8)->trigger(); // the About box is not a topic
    window.menuHelpTopic(11)->trigger();
    QTest::mouseClick(window.cmdPrintHelp(), Qt::LeftButton);

    QCOMPARE(m_printed.size(), 1);
    const RecordingPrinter &printer = m_printed.first();
    QCOMPARE(printer.jobs(), 1);
    const QList<RecordingPrinter::Operation> texts = printer.texts();
    QVERIFY(!texts.isEmpty());
    QCOMPARE(texts.first().text, QStringLiteral("Brivamo, Help Section: Tech Specs"));
    QVERIFY(texts.first().font.underline);
    QString body;
    for (qsizetype i = 1; i < texts.size(); ++i) {
        const PrinterFont &font = texts[i].font;
        QCOMPARE(font.name, QStringLiteral("Arial"));
        QCOMPARE(font.size, 10.0);
        QVERIFY(!font.bold && !font.italic && !font.underline);
        body += texts[i].text;
    }
    // Every character of the topic went out, in order (line breaks are positions, not text).
    QString expected = helpText(1300);
    expected.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    QCOMPARE(body, expected);
    QVERIFY(window.isEnabled());
}

void TestFrmManual::printsToPdf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pdf = dir.filePath(QStringLiteral("help.pdf"));
    setPrinterFactory([&](QWidget *) { return std::make_unique<QtPrinter>(pdf); });

    frmManual &window = openHelp(HelpTopicPuzzle);
    window.cmdPrintHelp_Click();

    QVERIFY(QFile::exists(pdf));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!text.waitForStarted())
        QSKIP("pdftotext is not installed");
    QVERIFY(text.waitForFinished());
    const QString printed = QString::fromUtf8(text.readAllStandardOutput());
    QVERIFY2(printed.startsWith(QStringLiteral("Brivamo, Help Section: Making the Puzzle")),
             qPrintable(printed));
    // The whole topic, word for word (the lines wrap at other places than on screen).
    QVERIFY2(printed.simplified().contains(helpText(1200).simplified()), qPrintable(printed));
}

void TestFrmManual::printFailureIsShown_data()
{
    QTest::addColumn<bool>("cancelled"); // the user cancels the file dialog instead
    QTest::newRow("PDF file cannot be written") << false;
    QTest::newRow("file dialog cancelled") << true;
}

void TestFrmManual::printFailureIsShown()
{
    QFETCH(bool, cancelled);
    setPrinterFactory([&](QWidget *) -> std::unique_ptr<Printer> {
        if (cancelled)
            return nullptr;
        return std::make_unique<QtPrinter>(QStringLiteral("/nonexistent-folder/brivamo/help.pdf"));
    });
    if (!cancelled)
        m_dialogs->queueMessage(MsgAnswer::Ok);

    frmManual &window = openHelp(HelpTopicPuzzle);
    window.cmdPrintHelp_Click();

    // A failure gets the puzzle window's message; a cancelled dialog was the user's own choice.
    QCOMPARE(m_dialogs->count(), cancelled ? 0 : 1);
    if (!cancelled) {
        // The user learns which file and why, not to check a printer that was never asked for.
        QCOMPARE(m_dialogs->last().text, QStringLiteral("The printout could not be saved in the file\r\n"
                                                        "/nonexistent-folder/brivamo/help.pdf\r\n(%1).")
                                             .arg(QString::fromLocal8Bit(std::strerror(ENOENT))));
        QCOMPARE(m_dialogs->last().caption, QStringLiteral("Error"));
        QCOMPARE(m_dialogs->last().icon, MsgIcon::Critical);
    }
    QVERIFY(window.isEnabled());
}

// Not a check: with BRIVAMO_HELP_SCREENSHOT=<prefix> under an X server, photographs the screen with
// the window open (<prefix>.png) and with its topic menu popped up (<prefix>-menu.png), and prints
// the Tech Specs topic into <prefix>.pdf.
void TestFrmManual::screenshot()
{
    const QString prefix = qEnvironmentVariable("BRIVAMO_HELP_SCREENSHOT");
    if (prefix.isEmpty())
        QSKIP("set BRIVAMO_HELP_SCREENSHOT to take screenshots");
    auto shoot = [](const QString &file) {
        QTest::qWait(600);
        QCOMPARE(QProcess::execute(QStringLiteral("import"),
                                   {QStringLiteral("-window"), QStringLiteral("root"), file}),
                 0);
    };
    frmManual &window = openHelp(HelpTopicLobby);
    window.move(40, 40);
    shoot(prefix + QStringLiteral(".png"));
    window.cmdHelpTopic_Click();
    shoot(prefix + QStringLiteral("-menu.png"));
    window.menuHelpMenu()->close();

    const QString pdf = prefix + QStringLiteral(".pdf");
    setPrinterFactory([&](QWidget *) { return std::make_unique<QtPrinter>(pdf); });
    window.menuHelpTopic(6)->trigger();
    window.cmdPrintHelp_Click();
    QVERIFY(QFile::exists(pdf));
}

QTEST_MAIN(TestFrmManual)
#include "tst_frm_manual.moc"
