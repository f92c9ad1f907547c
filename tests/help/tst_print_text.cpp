#include "help/print_text.h"
#include "help/print_text_window.h"
#include "platform/printer_qt.h"
#include "platform/printer_recording.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

using namespace brivamo;
using Op = RecordingPrinter::Operation;

namespace {

// At the recording printer's 10 points a character is 1/12 inch wide and a line 1/6 inch high.
constexpr double Char = 1.0 / 12.0;
constexpr double Line = 1.0 / 6.0;

QString lines(int count, const QString &line = QStringLiteral("Some words on a line"))
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += line + QStringLiteral("\r\n");
    return text;
}

int pagesOf(const RecordingPrinter &printer)
{
    int pages = 0;
    for (const Op &op : printer.operations())
        pages = qMax(pages, op.page);
    return pages;
}

QList<Op> opsWhere(const RecordingPrinter &printer, const std::function<bool(const Op &)> &keep)
{
    QList<Op> result;
    for (const Op &op : printer.texts())
        if (keep(op))
            result.append(op);
    return result;
}

// Body characters grouped by the line they were printed on (page, y).
QList<QList<Op>> bodyLines(const RecordingPrinter &printer, const QString &heading)
{
    QList<QList<Op>> result;
    for (const Op &op : printer.texts()) {
        if (op.text == heading || op.text.startsWith(QLatin1String("(page ")))
            continue;
        if (result.isEmpty() || result.last().first().page != op.page || result.last().first().y != op.y)
            result.append(QList<Op>());
        result.last().append(op);
    }
    return result;
}

// Notes, when the first text goes out, whether the window is disabled and busy, and the font.
struct Seen
{
    bool disabled = false;
    bool busyCursor = false;
    PrinterFont font;
    int texts = 0;
};

class WatchingPrinter : public RecordingPrinter
{
public:
    WatchingPrinter(QWidget *window, Seen *seen) : m_window(window), m_seen(seen) {}

protected:
    void drawText(double x, double y, const QString &text, const PrinterFont &font) override
    {
        if (m_seen->texts++ == 0) {
            m_seen->disabled = !m_window->isEnabled();
            m_seen->busyCursor = m_window->cursor().shape() == Qt::WaitCursor;
            m_seen->font = font;
        }
        RecordingPrinter::drawText(x, y, text, font);
    }

private:
    QWidget *m_window;
    Seen *m_seen;
};

} // namespace

class TestPrintText : public QObject
{
    Q_OBJECT
private slots:
    void pageCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<int>("pages");

        // With a heading the text starts at 1.5 and a page ends once y passes 8.8: 44 line breaks.
        QTest::newRow("empty text") << QString() << "Heading" << 0;
        QTest::newRow("one word") << "Hello"
                                  << "Heading" << 1;
        QTest::newRow("ending in CR LF") << "Hello\r\n"
                                         << "Heading" << 1;
        QTest::newRow("page filled by its last CR LF") << lines(44) << "Heading" << 1;
        QTest::newRow("one character more") << lines(44) + "x"
                                            << "Heading" << 2;
        QTest::newRow("only blank lines after the break") << lines(44) + "\r\n  \r\n"
                                                          << "Heading" << 1;
        QTest::newRow("three pages") << lines(100) << "Heading" << 3;
        // Without a heading a page holds 47 lines (1.0 + 47/6 > 8.8).
        QTest::newRow("no heading, 47 lines") << lines(47) << "" << 1;
        QTest::newRow("no heading, 48 lines") << lines(48) << "" << 2;
    }

    void pageCount()
    {
        QFETCH(QString, text);
        QFETCH(QString, heading);
        QFETCH(int, pages);
        RecordingPrinter printer;
        QVERIFY(printTextOn(printer, text, heading, true, false));
        QCOMPARE(pagesOf(printer), pages);
        QCOMPARE(printer.jobs(), pages > 0 ? 1 : 0);
        if (pages == 0)
            QVERIFY(printer.operations().isEmpty());
        else
            QCOMPARE(printer.operations().last().kind, Op::EndDoc);
    }

    void headingAndPageNumbers_data()
    {
        QTest::addColumn<QString>("heading");
        QTest::addColumn<bool>("underline");
        QTest::addColumn<bool>("everyPage");
        QTest::newRow("first page only, underlined") << "Brivamo, Help Section: Tech Specs" << true << false;
        QTest::newRow("every page") << "Heading" << false << true;
        QTest::newRow("no heading") << "" << true << true;
    }

    void headingAndPageNumbers()
    {
        QFETCH(QString, heading);
        QFETCH(bool, underline);
        QFETCH(bool, everyPage);
        RecordingPrinter printer;
        QVERIFY(printTextOn(printer, lines(120), heading, underline, everyPage));
        const int pages = pagesOf(printer);
        QCOMPARE(pages, 3);

        for (int page = 1; page <= pages; ++page) {
            const QList<Op> onPage = opsWhere(printer, [page](const Op &op) { return op.page == page; });
            QVERIFY(!onPage.isEmpty());
            const bool headed = !heading.isEmpty() && (everyPage || page == 1);
            const Op &first = onPage.first();
            if (headed) {
                QCOMPARE(first.text, heading);
                QCOMPARE(first.x, 1.0);
                QCOMPARE(first.y, 1.0);
                QCOMPARE(first.font.underline, underline);
                QCOMPARE(onPage.at(1).y, 1.5);
            } else {
                QCOMPARE(first.text, QStringLiteral("S"));
                QCOMPARE(first.y, 1.0);
            }
            QCOMPARE(first.x, 1.0);

            const QList<Op> numbers = opsWhere(printer, [page](const Op &op) {
                return op.page == page && op.text.startsWith(QLatin1String("(page"));
            });
            if (page == 1) {
                QVERIFY(numbers.isEmpty());
            } else {
                QCOMPARE(numbers.size(), 1);
                QCOMPARE(numbers.first().text, QStringLiteral("(page %1)").arg(page));
                QCOMPARE(numbers.first().x, 6.0);
                QCOMPARE(numbers.first().y, 9.2);
                QVERIFY(!numbers.first().font.underline);
            }
        }
        // Body text is never underlined, and underlining is left off.
        for (const Op &op : printer.texts())
            if (op.text != heading)
                QVERIFY(!op.font.underline);
        QVERIFY(!printer.fontUnderline());
    }

    void linesBreakBetweenTheMargins_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("firstLineLength");
        QTest::addColumn<int>("lineCount");
        // 85 characters end at 8.0833 inches: the first past 8.0.
        QTest::newRow("long word") << QString(200, QLatin1Char('W')) << 85 << 3;
        // "word " is 5 characters: the 14th space ends at 1.0 + 70/12 = 6.83, the first end past 6.5.
        QTest::newRow("words") << QStringLiteral("word ").repeated(30) << 70 << 3;
        // A bare LF or CR ends a line as CR LF does.
        QTest::newRow("bare line feeds") << "one\ntwo\rthree\r\nfour" << 3 << 4;
    }

    void linesBreakBetweenTheMargins()
    {
        QFETCH(QString, text);
        QFETCH(int, firstLineLength);
        QFETCH(int, lineCount);
        RecordingPrinter printer;
        printTextOn(printer, text, QString(), false, false);
        const QList<QList<Op>> body = bodyLines(printer, QString());
        QCOMPARE(body.size(), lineCount);
        QCOMPARE(body.first().size(), firstLineLength);
        for (int n = 0; n < body.size(); ++n) {
            const QList<Op> &line = body.at(n);
            QCOMPARE(line.first().x, 1.0);
            QVERIFY(qAbs(line.first().y - (1.0 + n * Line)) < 1e-9);
            for (const Op &op : line) {
                QVERIFY(op.x <= 8.0);
                QVERIFY(op.text != QLatin1String("\n") && op.text != QLatin1String("\r"));
            }
            // Only the last line may end before the soft margin without a line break in the text.
            const Op &last = line.last();
            if (n + 1 < body.size() && !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
                QVERIFY(last.x + Char > 6.5);
        }
        if (!text.contains(QLatin1Char('W')) && !text.contains(QLatin1Char('\n')))
            QCOMPARE(body.first().last().text, QStringLiteral(" "));
    }

    void printsIntoAPdfFromAWindow()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("help.pdf"));
        setPrinterFactory([&pdf](QWidget *) { return std::make_unique<QtPrinter>(pdf); });
        QWidget window;
        const QString heading = QStringLiteral("Brivamo, Help Section: Tech Specs");
        QString text;
        for (int i = 1; i <= 120; ++i)
            text += QStringLiteral("Line%1 of the help text.\r\n").arg(i);
        const bool sent = modStandard::PrintText(&window, text, heading, true, false);
        setPrinterFactory({});
        QVERIFY(sent);
        QVERIFY(window.isEnabled());
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);

        QProcess process;
        process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
        QVERIFY(process.waitForFinished(20000));
        const QString html = QString::fromUtf8(process.readAllStandardOutput());
        const QStringList pages = html.split(QStringLiteral("<page "));
        QCOMPARE(pages.size() - 1, 3);

        const QRegularExpression word(
            QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>([^<]*)</word>"));
        auto placeOf = [&word](const QString &page, const QString &text) -> std::optional<QPointF> {
            for (auto it = word.globalMatch(page); it.hasNext();) {
                const auto m = it.next();
                if (m.captured(3) == text)
                    return QPointF(m.captured(1).toDouble() / 72.0, m.captured(2).toDouble() / 72.0);
            }
            return std::nullopt;
        };
        auto near = [](std::optional<QPointF> at, double x, double y) {
            return at && qAbs(at->x() - x) < 0.03 && qAbs(at->y() - y) < 0.03;
        };
        QVERIFY(near(placeOf(pages[1], QStringLiteral("Brivamo,")), 1.0, 1.0));
        QVERIFY(near(placeOf(pages[1], QStringLiteral("Line1")), 1.0, 1.5));
        QVERIFY(!placeOf(pages[1], QStringLiteral("(page")));
        QVERIFY(!placeOf(pages[2], QStringLiteral("Brivamo,")));
        for (int page : {2, 3}) {
            QVERIFY(near(placeOf(pages[page], QStringLiteral("(page")), 6.0, 9.2));
            QVERIFY(placeOf(pages[page], QStringLiteral("%1)").arg(page)));
        }
    }

    void windowIsBusyWhilePrintingAndEnabledAfterwards_data()
    {
        QTest::addColumn<int>("outcome"); // 0 printed, 1 printer failed, 2 PDF dialog cancelled
        QTest::newRow("printed") << 0;
        QTest::newRow("printer failed") << 1;
        QTest::newRow("cancelled") << 2;
    }

    void windowIsBusyWhilePrintingAndEnabledAfterwards()
    {
        QFETCH(int, outcome);
        QWidget window;
        window.setCursor(Qt::PointingHandCursor);
        Seen seen;
        setPrinterFactory([&](QWidget *parent) -> std::unique_ptr<Printer> {
            if (outcome == 2)
                return nullptr;
            if (outcome == 1)
                return std::make_unique<QtPrinter>(QStringLiteral("/nonexistent-folder/brivamo/help.pdf"));
            return std::make_unique<WatchingPrinter>(parent, &seen);
        });
        const bool sent =
            modStandard::PrintText(&window, QStringLiteral("Some help."), QStringLiteral("Help"), true, false,
                                   {QStringLiteral("Arial"), 12.0, true, false, false});
        setPrinterFactory({});

        // Only a failed printer is reported; cancelling the file dialog is the user's choice.
        QCOMPARE(sent, outcome != 1);
        QVERIFY(window.isEnabled());
        QCOMPARE(window.cursor().shape(), Qt::PointingHandCursor);
        if (outcome == 0) {
            QCOMPARE(seen.texts, 1 + 10); // the heading, then one character at a time
            QVERIFY(seen.disabled);
            QVERIFY(seen.busyCursor);
            QCOMPARE(seen.font.size, 12.0);
            QVERIFY(seen.font.bold);
        }
    }
};

QTEST_MAIN(TestPrintText)
#include "tst_print_text.moc"
