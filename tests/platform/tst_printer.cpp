#include "common/silent_print_server.h"
#include "platform/printer_qt.h"
#include "platform/printer_recording.h"

#include <QFontInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstring>

using namespace brivamo;

namespace {

// One word as pdftotext places it, in inches from the page's top-left corner.
struct PdfWord
{
    int page;
    QString text;
    double left, top, right, bottom;
};

QList<PdfWord> readPdfWords(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!process.waitForFinished(20000) || process.exitCode() != 0)
        return {};
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression token(
        QStringLiteral("<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" "
                       "xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<PdfWord> words;
    int page = 0;
    for (auto it = token.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        words.append({page, m.captured(5), m.captured(1).toDouble() / 72.0, m.captured(2).toDouble() / 72.0,
                      m.captured(3).toDouble() / 72.0, m.captured(4).toDouble() / 72.0});
    }
    return words;
}

const PdfWord *findWord(const QList<PdfWord> &words, const QString &text)
{
    for (const PdfWord &word : words)
        if (word.text == text)
            return &word;
    return nullptr;
}

} // namespace

class TestPrinter : public QObject
{
    Q_OBJECT
private slots:
    void positionFollowsPrintedText()
    {
        RecordingPrinter printer;
        printer.setFontSize(12.0); // 0.1 inch per character, 0.2 inch per line
        printer.setCurrentX(1.0);
        printer.setCurrentY(2.0);
        printer.print(QStringLiteral("abc"), false);
        QCOMPARE(printer.currentX(), 1.3);
        QCOMPARE(printer.currentY(), 2.0);
        printer.setFontSize(6.0);
        printer.print(QStringLiteral("de"), true); // the line height is the font's when the line ends
        QCOMPARE(printer.currentX(), 0.0);
        QCOMPARE(printer.currentY(), 2.1);
        printer.newLine();
        QCOMPARE(printer.currentY(), 2.2);
        QCOMPARE(printer.textHeight(QStringLiteral("one\r\ntwo\r\nthree")), 0.3);
        QCOMPARE(printer.textWidth(QStringLiteral("wide line\r\nx")), 0.45);

        const auto texts = printer.texts();
        QCOMPARE(texts.size(), 2);
        QCOMPARE(texts[1].x, 1.3);
        QCOMPARE(texts[1].y, 2.0);
        QCOMPARE(texts[0].font.size, 12.0);
        QCOMPARE(texts[1].font.size, 6.0);
    }

    void documentsAndPages()
    {
        RecordingPrinter printer;
        QVERIFY(printer.endDoc()); // nothing printed: no job
        QCOMPARE(printer.jobs(), 0);
        QVERIFY(printer.operations().isEmpty());

        printer.print(QStringLiteral("one"));
        QCOMPARE(printer.page(), 1);
        printer.setCurrentX(3.0);
        printer.newPage();
        QCOMPARE(printer.page(), 2);
        QCOMPARE(printer.currentX(), 0.0);
        printer.print(QStringLiteral("two"));
        QVERIFY(printer.endDoc());
        QCOMPARE(printer.jobs(), 1);
        QCOMPARE(printer.page(), 0);

        printer.print(QStringLiteral("discarded"));
        printer.killDoc();
        QCOMPARE(printer.jobs(), 1);

        QList<RecordingPrinter::Operation::Kind> kinds;
        QList<int> pages;
        for (const auto &op : printer.operations()) {
            kinds.append(op.kind);
            pages.append(op.page);
        }
        using Op = RecordingPrinter::Operation;
        QCOMPARE(kinds,
                 (QList<Op::Kind>{Op::Text, Op::NewPage, Op::Text, Op::EndDoc, Op::Text, Op::KillDoc}));
        QCOMPARE(pages, (QList<int>{1, 1, 2, 2, 1, 1}));
    }

    void fontsMapToInstalledOnes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::addColumn<bool>("fixedPitch");
        QTest::newRow("Arial") << "Arial"
                               << "Liberation Sans" << false;
        QTest::newRow("MS Sans Serif") << "MS Sans Serif"
                                       << "Liberation Sans" << false;
        QTest::newRow("FixedSys") << "FixedSys"
                                  << "DejaVu Sans Mono" << true;
        QTest::newRow("Courier New") << "Courier New"
                                     << "Liberation Mono" << true;
    }

    void fontsMapToInstalledOnes()
    {
        QFETCH(QString, name);
        QFETCH(QString, family);
        QFETCH(bool, fixedPitch);
        const QFontInfo info(printerQFont({name, 9.0, true, false, false}));
        QCOMPARE(info.family(), family);
        QCOMPARE(info.fixedPitch(), fixedPitch);
        QVERIFY(info.bold());
    }

    void pdfTextLandsWhereItWasPlaced()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("layout.pdf"));
        double firstLineHeight = 0.0;
        double titleWidth = 0.0;
        {
            QtPrinter printer(pdf);
            QCOMPARE(printer.status(), QtPrinter::Status::Ready);
            printer.setFont({QStringLiteral("Arial"), 9.0, true, false, false});
            printer.setCurrentX(1.0);
            printer.setCurrentY(0.8);
            titleWidth = printer.textWidth(QStringLiteral("Heading"));
            firstLineHeight = printer.textHeight();
            printer.print(QStringLiteral("Heading"));
            printer.setCurrentX(1.0);
            printer.print(QStringLiteral("Second"), false);
            printer.print(QStringLiteral("Joined"));
            printer.setFont({QStringLiteral("Arial"), 11.0, false, true, true});
            printer.setCurrentX(3.7);
            printer.setCurrentY(3.9167);
            printer.print(QStringLiteral("Middle"));
            printer.newPage();
            printer.setFontUnderline(false);
            printer.setCurrentX(6.0);
            printer.setCurrentY(9.2);
            printer.print(QStringLiteral("(page 2)"));
            QVERIFY(printer.endDoc());
        }

        const QList<PdfWord> words = readPdfWords(pdf);
        QVERIFY2(!words.isEmpty(), "pdftotext read no words");
        struct Expected
        {
            QString text;
            int page;
            double left, top;
        };
        const QList<Expected> expected{{QStringLiteral("Heading"), 1, 1.0, 0.8},
                                       {QStringLiteral("SecondJoined"), 1, 1.0, 0.8 + firstLineHeight},
                                       {QStringLiteral("Middle"), 1, 3.7, 3.9167},
                                       {QStringLiteral("(page"), 2, 6.0, 9.2}};
        constexpr double tolerance = 0.03;
        for (const Expected &e : expected) {
            const PdfWord *word = findWord(words, e.text);
            QVERIFY2(word, qPrintable(e.text));
            QCOMPARE(word->page, e.page);
            QVERIFY2(qAbs(word->left - e.left) < tolerance,
                     qPrintable(QStringLiteral("%1 left %2").arg(e.text).arg(word->left)));
            QVERIFY2(qAbs(word->top - e.top) < tolerance,
                     qPrintable(QStringLiteral("%1 top %2").arg(e.text).arg(word->top)));
        }
        const PdfWord *heading = findWord(words, QStringLiteral("Heading"));
        QVERIFY(qAbs((heading->right - heading->left) - titleWidth) < tolerance);
        QVERIFY(firstLineHeight > 9.0 / 72.0 && firstLineHeight < 1.5 * 9.0 / 72.0);
    }

    void failuresAreReported()
    {
        QtPrinter unwritable(QStringLiteral("/nonexistent-folder/brivamo/out.pdf"));
        unwritable.print(QStringLiteral("lost"));
        QCOMPARE(unwritable.status(), QtPrinter::Status::Failed);
        QVERIFY(!unwritable.endDoc());

        if (QtPrinter::systemPrinterAvailable())
            QSKIP("this machine has a printer");
        QtPrinter none;
        QCOMPARE(none.status(), QtPrinter::Status::NoPrinter);
        none.print(QStringLiteral("lost"));
        QVERIFY(!none.endDoc());
    }

    // The window's printout as a PDF file: a disk that fills up fails the job, and the file that
    // was there keeps every byte; no temporary file is left behind.
    void pdfThatCannotBeFinishedKeepsTheOldFile()
    {
        QTemporaryDir place;
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", place.path()}) != 0)
            QSKIP("mounting a tmpfs needs root");
        const auto unmount = qScopeGuard([&] { QProcess::execute("umount", {place.path()}); });
        const QDir dir(place.path());
        const QByteArray old = "%PDF-1.4 an earlier printout\n%%EOF\n";
        QFile previous(dir.filePath("Brivamo.pdf"));
        QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write(old) == old.size());
        previous.close();
        QFile filler(dir.filePath("filler"));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(1024, 'x')) == 1024) {
        }

        QtPrinter printer(previous.fileName());
        for (int page = 0; page < 3; ++page) {
            for (int line = 0; line < 40; ++line)
                printer.print(QStringLiteral("A line of the printout that does not fit on the disk"));
            printer.newPage();
        }
        QVERIFY(!printer.endDoc());
        QCOMPARE(printer.status(), QtPrinter::Status::Failed);
        QCOMPARE(printer.errorString(), QString::fromLocal8Bit(std::strerror(ENOSPC)));
        QVERIFY(previous.open(QIODevice::ReadOnly));
        QCOMPARE(previous.readAll(), old);
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), (QStringList{"Brivamo.pdf", "filler"}));
    }

    // A print server that takes the connection and never answers (a stopped server) fails the
    // window's printout within the time limit; the window is not offered a PDF file instead.
    void silentPrintServerFailsTheJobInTime()
    {
        SilentPrintServer server;
        QVERIFY(server.listening());
        const QByteArray previousServer = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", server.path());
        qputenv("BRIVAMO_PRINT_SERVER_TIME_LIMIT", "1");
        const auto restore = qScopeGuard([&] {
            qputenv("CUPS_SERVER", previousServer);
            qunsetenv("BRIVAMO_PRINT_SERVER_TIME_LIMIT");
        });

        QElapsedTimer clock;
        clock.start();
        const std::unique_ptr<Printer> printer = openPrinter(nullptr);
        QVERIFY(printer);
        printer->print(QStringLiteral("never printed"));
        QVERIFY(!printer->endDoc());
        QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
        auto *queue = dynamic_cast<QtPrinter *>(printer.get());
        QVERIFY(queue);
        QCOMPARE(queue->status(), QtPrinter::Status::ServerSilent);
        QCOMPARE(queue->errorString(), QStringLiteral("The print server does not answer."));
        QVERIFY(QtPrinter::printServerStuck());

        // Once the server is gone the request that waited on it returns, and printing may be
        // tried again.
        server.close();
        QTRY_VERIFY_WITH_TIMEOUT(!QtPrinter::printServerStuck(), 30000);
    }

    void openPrinterUsesTheInstalledFactory()
    {
        RecordingPrinter *made = nullptr;
        setPrinterFactory([&made](QWidget *) {
            auto printer = std::make_unique<RecordingPrinter>();
            made = printer.get();
            return printer;
        });
        const std::unique_ptr<Printer> printer = openPrinter(nullptr);
        setPrinterFactory({});
        QVERIFY(printer);
        QCOMPARE(printer.get(), made);
    }
};

QTEST_MAIN(TestPrinter)
#include "tst_printer.moc"
