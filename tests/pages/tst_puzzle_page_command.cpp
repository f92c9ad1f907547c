#include "common/command_support.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cmath>
#include <cstring>

// The headless command line writing printed pages into a PDF, read back with pdftotext.
class TestPuzzlePageCommand : public QObject
{
    Q_OBJECT

    struct Word
    {
        QString text;
        int page = 0;
        double x = 0; // inches
        double y = 0;
        double width = 0;
        double height = 0;
    };

    QTemporaryDir m_folder;

    int make(const QStringList &arguments, QString *errors = nullptr)
    {
        const CommandRun run = runHeadless(m_folder.path(), arguments);
        if (errors)
            *errors = run.err;
        return run.exitCode;
    }

    static QList<Word> words(const QString &pdf)
    {
        QProcess tool;
        tool.start("pdftotext", {"-bbox", pdf, "-"});
        tool.waitForFinished(30000);
        const QString html = QString::fromUtf8(tool.readAllStandardOutput());
        QList<Word> found;
        int page = 0;
        static const QRegularExpression pattern(
            R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
        for (auto it = pattern.globalMatch(html); it.hasNext();) {
            const auto m = it.next();
            if (m.captured(0).startsWith("<page")) {
                ++page;
                continue;
            }
            const double x = m.captured(1).toDouble() / 72.0;
            const double y = m.captured(2).toDouble() / 72.0;
            found.append({m.captured(5), page, x, y, m.captured(3).toDouble() / 72.0 - x,
                          m.captured(4).toDouble() / 72.0 - y});
        }
        return found;
    }

    // The dark pixels of a grey page image (binary PGM).
    struct Ink
    {
        int width = 0;
        int height = 0;
        QByteArray pixels;
        bool dark(int x, int y) const
        {
            return x >= 0 && y >= 0 && x < width && y < height && quint8(pixels[y * width + x]) < 128;
        }
        bool any(QPointF centre, double radius) const
        {
            for (int y = qFloor(centre.y() - radius); y <= qCeil(centre.y() + radius); ++y)
                for (int x = qFloor(centre.x() - radius); x <= qCeil(centre.x() + radius); ++x)
                    if (std::hypot(x - centre.x(), y - centre.y()) <= radius && dark(x, y))
                        return true;
            return false;
        }
        QList<QPoint> points() const
        {
            QList<QPoint> found;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    if (dark(x, y))
                        found << QPoint(x, y);
            return found;
        }
    };

    static Ink readInk(const QString &file)
    {
        QFile image(file);
        Ink ink;
        if (!image.open(QIODevice::ReadOnly))
            return ink;
        const QByteArray data = image.readAll();
        QList<QByteArray> fields;
        qsizetype at = 0;
        while (fields.size() < 4 && at >= 0 && at < data.size()) {
            while (at < data.size() && QChar(data[at]).isSpace())
                ++at;
            if (data[at] == '#') {
                at = data.indexOf('\n', at);
                continue;
            }
            const qsizetype start = at;
            while (at < data.size() && !QChar(data[at]).isSpace())
                ++at;
            fields << data.mid(start, at - start);
        }
        if (fields.size() < 4 || fields[0] != "P5")
            return ink;
        ink.width = fields[1].toInt();
        ink.height = fields[2].toInt();
        ink.pixels = data.mid(at + 1, qsizetype(ink.width) * ink.height);
        if (ink.pixels.size() != qsizetype(ink.width) * ink.height)
            ink.width = 0;
        return ink;
    }

    static double distanceToSegment(QPointF p, QPointF a, QPointF b)
    {
        const QPointF ab = b - a;
        const double length2 = QPointF::dotProduct(ab, ab);
        const double t = length2 > 0 ? qBound(0.0, QPointF::dotProduct(p - a, ab) / length2, 1.0) : 0.0;
        const QPointF d = p - (a + ab * t);
        return std::hypot(d.x(), d.y());
    }

    static QList<Word> onPage(const QList<Word> &all, int page)
    {
        QList<Word> result;
        for (const Word &w : all)
            if (w.page == page)
                result << w;
        return result;
    }

    static Word find(const QList<Word> &all, const QString &text)
    {
        for (const Word &w : all)
            if (w.text == text)
                return w;
        return {};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(!qEnvironmentVariableIsEmpty("BRIVAMO_BINARY"));
        QVERIFY(m_folder.isValid());
        QFile tiny(m_folder.filePath("Tiny.lst"));
        QVERIFY(tiny.open(QIODevice::WriteOnly));
        tiny.write("ANT\r\n");
        tiny.close();
        QFile zoo(m_folder.filePath("Zoo.lst"));
        QVERIFY(zoo.open(QIODevice::WriteOnly));
        zoo.write("LION\r\nTIGER\r\nZEBRA\r\nCAMEL\r\nOTTER\r\n");
    }

    // A 3-letter square: columns at 3.7, 3.9 and 4.1 inches, its first line 3.9167 down.
    void smallSquare()
    {
        const QString pdf = m_folder.filePath("tiny.pdf");
        QCOMPARE(make({"--make", "tiny", "--size", "3", "--pdf", pdf, "--quiet"}), 0);
        const QList<Word> all = words(pdf);
        QCOMPARE(onPage(all, 2).size(), 0);
        const QList<Word> page = onPage(all, 1);
        QVERIFY(qAbs(find(page, "Brivamo").x - 1.0) < 0.01);
        QCOMPARE(find(page, "(Category:").page, 1);
        QCOMPARE(find(page, "Tiny)").page, 1);
        // pdftotext may join close letters (as in "WY") into one word: split them again, 0.2 apart.
        QList<Word> cells;
        for (const Word &w : page)
            if (w.y > 3.5 && w.y < 4.5 && !w.text.isEmpty() && w.text[0].isUpper())
                for (int i = 0; i < w.text.size(); ++i)
                    cells.append({QString(w.text[i]), w.page, w.x + 0.2 * i, w.y, 0, 0});
        QCOMPARE(cells.size(), 9);
        const double columns[] = {3.7, 3.9, 4.1};
        for (int i = 0; i < 9; ++i) {
            QVERIFY2(qAbs(cells[i].x - columns[i % 3]) < 0.005, qPrintable(QString::number(cells[i].x)));
            if (i < 3)
                QVERIFY2(qAbs(cells[i].y - 3.9167) < 0.02, qPrintable(QString::number(cells[i].y)));
        }
        // Word 1 lies on the diagonal from the bottom-right corner: T at the top left.
        QCOMPARE(cells[0].text, QStringLiteral("T"));
        QCOMPARE(cells[4].text, QStringLiteral("N"));
        QCOMPARE(cells[8].text, QStringLiteral("A"));
        QVERIFY(qAbs(find(page, "ANT").x - 1.2) < 0.01);
    }

    // A class set with a hidden message: every fill, read row by row, spells its letters; the
    // solution pages, and only they, show it under the grid; one too long for the square is
    // refused before anything is made.
    void hiddenMessage()
    {
        const QString pdf = m_folder.filePath("message.pdf");
        const CommandRun run =
            runHeadless(m_folder.path(), {"--make", "zoo", "--size", "8", "--count", "3", "--seed", "5",
                                          "--message", "Go team, go!", "--pdf", pdf, "--solution"});
        QCOMPARE(run.exitCode, 0);
        // The grids on the standard output: puzzle then solution, eight rows each, per puzzle.
        QStringList rows;
        for (const QString &line : run.out.split(u'\n'))
            if (line.size() == 15)
                rows << QString(line).remove(u' ');
        QCOMPARE(rows.size(), 3 * 16);
        for (int p = 0; p < 3; ++p) {
            QString spelt;
            for (int r = 0; r < 8; ++r)
                for (int c = 0; c < 8; ++c)
                    if (rows[p * 16 + 8 + r][c] == QChar(0x00B7) && spelt.size() < 8)
                        spelt += rows[p * 16 + r][c];
            QCOMPARE(spelt, QStringLiteral("GOTEAMGO"));
        }
        QProcess tool;
        tool.start("pdftotext", {"-layout", pdf, "-"});
        QVERIFY(tool.waitForFinished(30000));
        const QStringList pages =
            QString::fromUtf8(tool.readAllStandardOutput()).split(u'\f', Qt::SkipEmptyParts);
        QCOMPARE(pages.size(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(pages[i].contains(QStringLiteral("Hidden message: Go team, go!")), i >= 3);

        QString errors;
        QCOMPARE(
            make({"--make", "zoo", "--size", "5", "--message", "a message far too long for it", "--quiet"},
                 &errors),
            2);
        QVERIFY2(errors.contains(QStringLiteral("hidden message has 23 letters")), qPrintable(errors));

        // A message spelling a word the user blocked would fail every attempt: refused at once.
        QTemporaryDir settings;
        QVERIFY(QDir().mkpath(settings.filePath("Brivamo")));
        QFile blocked(settings.filePath("Brivamo/blocked-words.txt"));
        QVERIFY(blocked.open(QIODevice::WriteOnly));
        blocked.write("TEAM\n");
        blocked.close();
        QProcessEnvironment config;
        config.insert("XDG_CONFIG_HOME", settings.path());
        const CommandRun refused = runHeadless(
            m_folder.path(), {"--make", "zoo", "--size", "8", "--message", "Go team, go!"}, {}, config);
        QCOMPARE(refused.exitCode, 2);
        QVERIFY2(refused.err.contains(QStringLiteral("hidden message spells \"TEAM\", a word")),
                 qPrintable(refused.err));
    }

    void solutionAndDedication()
    {
        const QString pdf = m_folder.filePath("zoo.pdf");
        QCOMPARE(make({"--make", "zoo", "--size", "10", "--pdf", pdf, "--solution", "--dedication", "Grandma",
                       "--quiet"}),
                 0);
        const QList<Word> all = words(pdf);
        const QList<Word> puzzle = onPage(all, 1);
        const QList<Word> solution = onPage(all, 2);
        QCOMPARE(find(puzzle, "Puzzle").page, 1);
        QCOMPARE(find(solution, "Solution").page, 2);
        QCOMPARE(find(puzzle, "Grandma").page, 1);
        QCOMPARE(find(all, "Version").page, 0);
        QCOMPARE(find(solution, "Grandma").page, 0);
        QVERIFY(qAbs(find(puzzle, "In").y - 7.2) < 0.05);
        QVERIFY(qAbs(find(solution, "The").y - 7.2) < 0.05);
        // Longest first, in two columns: TIGER ZEBRA / CAMEL OTTER / LION.
        for (const QList<Word> &page : {puzzle, solution}) {
            QVERIFY(qAbs(find(page, "TIGER").x - 1.2) < 0.01);
            QVERIFY(qAbs(find(page, "ZEBRA").x - 3.2) < 0.01);
            QVERIFY(qAbs(find(page, "CAMEL").x - 1.2) < 0.01);
            QVERIFY(qAbs(find(page, "OTTER").x - 3.2) < 0.01);
            QVERIFY(qAbs(find(page, "LION").x - 1.2) < 0.01);
            QVERIFY(find(page, "LION").y > find(page, "CAMEL").y);
        }
        // A 10-square's first column at 2.9 inches, its first line 3.3333 down.
        const auto firstCell = std::find_if(solution.begin(), solution.end(),
                                            [](const Word &w) { return w.y > 3.0 && w.text.size() == 1; });
        QVERIFY(firstCell != solution.end());
        QVERIFY(qAbs(firstCell->x - 2.9) < 0.01);
        QVERIFY(qAbs(firstCell->y - 3.3333) < 0.02);
        qsizetype dots = 0;
        for (const Word &w : solution)
            dots += w.text.count(QStringLiteral("·"));
        QVERIFY(dots >= 100 - 25);
    }

    // The squares' letters of one page by position (letters that pdftotext joined are split again).
    static QMap<QPair<int, int>, QChar> squareOf(const QList<Word> &page)
    {
        QMap<QPair<int, int>, QChar> cells;
        for (const Word &w : page)
            if (w.y > 1.5 && w.y < 7.0)
                for (int i = 0; i < w.text.size(); ++i)
                    cells[{qFloor((w.x + 0.2 * i) * 5 + 0.25), qRound(w.y * 20)}] = w.text[i];
        return cells;
    }

    // A class set: the puzzle pages in order, then the solution pages in the same order, each
    // marked with its version; every puzzle differs and every key matches its puzzle.
    void classSet()
    {
        QFile animals(m_folder.filePath("ANIMALS.lst"));
        QVERIFY(animals.open(QIODevice::WriteOnly));
        animals.write("ALLIGATOR\r\nBADGER\r\nCAMEL\r\nCHEETAH\r\nCROCODILE\r\nDOLPHIN\r\nEMU\r\nFLAMINGO\r\n"
                      "GIRAFFE\r\nGORILLA\r\nHEDGEHOG\r\nHIPPOPOTAMUS\r\nIGUANA\r\nJAGUAR\r\nKANGAROO\r\n"
                      "LEOPARD\r\nMONGOOSE\r\nOCTOPUS\r\nPENGUIN\r\nPORCUPINE\r\nRHINOCEROS\r\nSQUIRREL\r\n"
                      "WALRUS\r\nYAK\r\nZEBRA\r\n");
        animals.close();
        const QString pdf = m_folder.filePath("class.pdf");
        QString errors;
        QCOMPARE(
            make({"--make", "animals", "--count", "30", "--seed", "3", "--pdf", pdf, "--solution", "--quiet"},
                 &errors),
            0);
        QVERIFY2(QRegularExpression("^\\d+ puzzles, \\d+ completed, \\d+ given up, \\d+ ms\n$")
                     .match(errors)
                     .hasMatch(),
                 qPrintable(errors));
        const QList<Word> all = words(pdf);
        QSet<QString> puzzles;
        for (int page = 1; page <= 60; ++page) {
            const QList<Word> text = onPage(all, page);
            const int version = (page - 1) % 30 + 1;
            QCOMPARE(find(text, page <= 30 ? "Puzzle" : "Solution").page, page);
            // "Version 3 of 30" on the date's line, after the date.
            const Word mark = find(text, "Version");
            QCOMPARE(mark.page, page);
            QList<Word> line;
            for (const Word &w : text)
                if (qAbs(w.y - mark.y) < 0.02)
                    line << w;
            std::sort(line.begin(), line.end(), [](const Word &a, const Word &b) { return a.x < b.x; });
            QStringList lineText;
            for (const Word &w : line)
                lineText << w.text;
            const QRegularExpression expected(
                QStringLiteral("^\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d[ap]m Version %1 of 30$").arg(version));
            QVERIFY2(expected.match(lineText.join(u' ')).hasMatch(), qPrintable(lineText.join(u' ')));
            if (page > 30)
                continue;
            const auto square = squareOf(text);
            QCOMPARE(square.size(), 900);
            QString letters;
            for (const QChar c : square)
                letters += c;
            puzzles << letters;
            const auto key = squareOf(onPage(all, page + 30));
            QCOMPARE(key.size(), 900);
            for (auto it = key.begin(); it != key.end(); ++it)
                QVERIFY(it.value() == QChar(0x00B7) || it.value() == square.value(it.key()));
        }
        QCOMPARE(onPage(all, 61).size(), 0);
        QCOMPARE(puzzles.size(), 30);
    }

    // The outlined answer key of a class set, checked on the rendered pages without their text
    // (Ghostscript leaves the text out, so only the outlines are left): every word the test finds
    // once in the solution layer is ringed along its cells, no outline comes near any letter's
    // middle, and every outline belongs to some word.
    void outlinedKeyClassSet()
    {
        const QString pdf = m_folder.filePath("outlined.pdf");
        const CommandRun run =
            runHeadless(m_folder.path(), {"--make", "zoo", "--size", "10", "--count", "10", "--seed", "11",
                                          "--pdf", pdf, "--solution", "--key", "outline"});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = run.out.split(u'\n');
        const QStringList zoo{"LION", "TIGER", "ZEBRA", "CAMEL", "OTTER"};
        const QList<Word> all = words(pdf);
        int wordsChecked = 0;
        for (int version = 0; version < 10; ++version) {
            // The set's grids on the standard output: puzzle layer, blank, solution layer, blank.
            QStringList solution;
            for (int row = 0; row < 10; ++row)
                solution << QString(lines.value(version * 22 + 11 + row)).remove(u' ');
            QCOMPARE(solution.join(QString()).size(), 100);

            const int pageNumber = 11 + version;
            QList<double> rowMiddles;
            for (const Word &w : onPage(all, pageNumber))
                if (w.y > 3.0 && w.y < 5.5 && (rowMiddles.isEmpty() || qAbs(rowMiddles.last() - w.y) > 0.05))
                    rowMiddles << w.y;
            QCOMPARE(rowMiddles.size(), 10);
            const double rowPitch = (rowMiddles.last() - rowMiddles.first()) / 9.0;
            // Middles of the capitals: 0.05 inch into the cell, half a capital below the line's top.
            const auto middle = [&](double row, double column) {
                return QPointF(2.9 + 0.2 * (column - 1) + 0.05,
                               rowMiddles.first() + (row - 1) * rowPitch + 0.085);
            };

            const QString png = m_folder.filePath(QStringLiteral("key-%1.pgm").arg(version));
            QCOMPARE(QProcess::execute(
                         "gs", {"-q", "-dNOPAUSE", "-dBATCH", "-dSAFER", "-dFILTERTEXT", "-sDEVICE=pgmraw",
                                "-r100", QStringLiteral("-dFirstPage=%1").arg(pageNumber),
                                QStringLiteral("-dLastPage=%1").arg(pageNumber), "-sOutputFile=" + png, pdf}),
                     0);
            const Ink ink = readInk(png);
            QVERIFY(ink.width > 0);
            const auto inkNear = [&](QPointF inches, double radius) {
                return ink.any(inches * 100.0, radius * 100.0);
            };

            struct Run
            {
                QPoint first, step;
                int length;
            };
            QList<Run> runs;
            for (const QString &word : zoo) {
                QList<Run> found;
                for (int r = 0; r < 10; ++r)
                    for (int c = 0; c < 10; ++c)
                        for (int dr = -1; dr <= 1; ++dr)
                            for (int dc = -1; dc <= 1; ++dc) {
                                if (dr == 0 && dc == 0)
                                    continue;
                                int k = 0;
                                while (k < word.size() && r + k * dr >= 0 && r + k * dr < 10 &&
                                       c + k * dc >= 0 && c + k * dc < 10 &&
                                       solution[r + k * dr][c + k * dc] == word[k])
                                    ++k;
                                if (k == word.size())
                                    found.append({QPoint(c + 1, r + 1), QPoint(dc, dr), int(word.size())});
                            }
                if (found.size() == 1)
                    runs << found.first();
            }
            for (const Run &word : runs) {
                ++wordsChecked;
                // Half a cell out from the letters' middles (a cell's width across, its height down).
                const double norm = std::hypot(word.step.x(), word.step.y());
                const auto out = [&](double columns, double rows) {
                    return QPointF(0.2 * columns, rowPitch * rows) * (0.42 / norm);
                };
                const QPointF along = out(word.step.x(), word.step.y());
                const QPointF across = out(-word.step.y(), word.step.x());
                for (int k = 0; k < word.length; ++k) {
                    const QPointF centre =
                        middle(word.first.y() + k * word.step.y(), word.first.x() + k * word.step.x());
                    // Ringed on both sides, half a cell out, and at both ends.
                    for (const QPointF side : {across, -across})
                        QVERIFY2(
                            inkNear(centre + side, 0.03),
                            qPrintable(
                                QStringLiteral("version %1, no outline beside a letter").arg(version + 1)));
                    if (k == 0 || k + 1 == word.length)
                        QVERIFY(inkNear(centre + (k == 0 ? -along : along), 0.03));
                }
            }
            // No outline crosses a letter's middle, and no ink lies away from every word's run.
            for (int r = 1; r <= 10; ++r)
                for (int c = 1; c <= 10; ++c)
                    QVERIFY2(!inkNear(middle(r, c), 0.025),
                             qPrintable(QStringLiteral("version %1: outline on row %2, column %3")
                                            .arg(version + 1)
                                            .arg(r)
                                            .arg(c)));
            for (const QPoint &dot : ink.points()) {
                const QPointF at = QPointF(dot) / 100.0;
                bool nearWord = false;
                for (const Run &word : runs) {
                    const QPointF a = middle(word.first.y(), word.first.x());
                    const QPointF b = middle(word.first.y() + (word.length - 1) * word.step.y(),
                                             word.first.x() + (word.length - 1) * word.step.x());
                    nearWord = nearWord || distanceToSegment(at, a, b) < 0.13;
                }
                if (runs.size() == zoo.size())
                    QVERIFY2(nearWord, qPrintable(QStringLiteral("version %1: stray outline at %2, %3 in")
                                                      .arg(version + 1)
                                                      .arg(at.x())
                                                      .arg(at.y())));
            }
        }
        QVERIFY2(wordsChecked >= 40, qPrintable(QString::number(wordsChecked)));
    }

    // Large print: square cells at most 0.4 inch, the square as wide as the page allows, every
    // letter in the middle of its cell (whatever its width), the word list below it on the page.
    void largePrint_data()
    {
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("paper");
        QTest::addColumn<double>("cell");
        QTest::newRow("15, capped at 0.4 in") << "15"
                                              << "letter" << 0.4;
        QTest::newRow("30 on A4, filling the width") << "30"
                                                     << "a4" << (8.27 - 2.0) / 30;
    }
    void largePrint()
    {
        QFETCH(QString, size);
        QFETCH(QString, paper);
        QFETCH(double, cell);
        QFile list(m_folder.filePath("Wide.lst"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("WILLOW\r\nIVY\r\nMIMOSA\r\nLILAC\r\nWISTERIA\r\nMAGNOLIA\r\nIRIS\r\nJASMINE\r\n");
        list.close();
        const QString pdf = m_folder.filePath("large.pdf");
        QCOMPARE(make({"--make", "wide", "--size", size, "--quiet", "--pdf", pdf, "--solution",
                       "--large-print", "--key", "outline", "--paper", paper}),
                 0);
        const QList<Word> all = words(pdf);
        QCOMPARE(onPage(all, 3).size(), 0);
        for (int pageNumber : {1, 2}) {
            const QList<Word> page = onPage(all, pageNumber);
            // Single letters of the square: their boxes span their advance, so their middles are
            // where the letters are centred.
            QList<QPointF> middles;
            QList<double> rows;
            for (const Word &w : page) {
                if (w.y < 1.4 || w.y > 9.0 || w.text.size() != 1 || !w.text[0].isUpper())
                    continue;
                middles << QPointF(w.x + w.width / 2, w.y);
                if (!std::any_of(rows.begin(), rows.end(), [&](double y) { return qAbs(y - w.y) < 0.02; }))
                    rows << w.y;
            }
            QCOMPARE(rows.size(), size.toInt());
            std::sort(rows.begin(), rows.end());
            const double rowPitch = (rows.last() - rows.first()) / (rows.size() - 1);
            QVERIFY2(qAbs(rowPitch - cell) < 0.005, qPrintable(QString::number(rowPitch)));
            double leftmost = 100;
            for (const QPointF &m : middles)
                leftmost = qMin(leftmost, m.x());
            int checked = 0;
            for (const QPointF &m : middles) {
                const double columns = (m.x() - leftmost) / cell;
                QVERIFY2(qAbs(columns - qRound(columns)) < 0.03,
                         qPrintable(QStringLiteral("a letter %1 in off its column's middle").arg(columns)));
                ++checked;
            }
            QVERIFY(checked > size.toInt() * size.toInt() / 2);
            // The square is centred across the page and fits it.
            const double pageWidth = paper == "a4" ? 8.27 : 8.5;
            QVERIFY(qAbs(leftmost - cell / 2 - (pageWidth - size.toInt() * cell) / 2) < 0.02);
            const Word heading = find(page, pageNumber == 1 ? "In" : "The");
            QVERIFY(heading.y > rows.last() + cell / 2);
            QVERIFY(find(page, "WISTERIA").page == pageNumber);
            QVERIFY(find(page, "WISTERIA").height > 9.0 / 72.0 * 1.1);
        }
    }

    // Large print with very long words: every listed word stays inside the right margin, none
    // runs into its neighbour in the other column, and the list is still larger than classic.
    void largePrintLongWordsFit()
    {
        const QStringList listed{"MEADOWMEADOWMEADOWMEADOW",
                                 "WOMBATWOMBATWOMBATWOMBAT",
                                 "WAXWINGWAXWINGWAXWINGWAX",
                                 "MUMBLEMUMBLEMUMBLEMUMBLE",
                                 "OWL",
                                 "EMU"};
        QFile list(m_folder.filePath("Long.lst"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write((listed.join("\r\n") + "\r\n").toLatin1());
        list.close();
        const QString pdf = m_folder.filePath("long.pdf");
        QCOMPARE(make({"--make", "long", "--size", "24", "--seed", "5", "--quiet", "--pdf", pdf,
                       "--large-print", "--paper", "letter"}),
                 0);
        const QList<Word> page = onPage(words(pdf), 1);
        for (const QString &text : listed) {
            const Word word = find(page, text);
            QVERIFY2(word.page == 1 && word.x + word.width <= 8.5 - 1.0 + 0.01, qPrintable(text));
            QVERIFY(word.height > 9.0 / 72.0 * 1.1);
            for (const QString &other : listed) {
                const Word next = find(page, other);
                if (qAbs(next.y - word.y) < 0.02 && next.x > word.x)
                    QVERIFY2(word.x + word.width < next.x, qPrintable(text + " runs into " + other));
            }
        }
    }

    // A list too long for one page: each puzzle's words once, all on the paper, the rest of the list
    // right after its own page under "(continued)"; an image file for each page.
    void longListContinues()
    {
        QStringList listed;
        for (const QChar a : QStringLiteral("AEIRSTNOLDUM"))
            for (const QChar b : QStringLiteral("AEIRSTNOLDUM"))
                listed << QString(a) + b + QStringLiteral("STONE").left(listed.size() % 4);
        QFile list(m_folder.filePath("Many.lst"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write((listed.join("\r\n") + "\r\n").toLatin1());
        list.close();
        const QString pdf = m_folder.filePath("many.pdf");
        QCOMPARE(
            make({"--make", "many", "--size", "30", "--seed", "2", "--quiet", "--pdf", pdf, "--solution",
                  "--large-print", "--paper", "letter", "--count", "2", "--png", m_folder.filePath("m.png")}),
            0);
        const QList<Word> all = words(pdf);
        QHash<QString, int> seen; // kind and word
        QStringList pages;        // each page's kind and version, and whether it goes on from the one before
        for (int number = 1; !onPage(all, number).isEmpty(); ++number) {
            const QList<Word> page = onPage(all, number);
            const QString kind = find(page, "Solution").page ? "Solution" : "Puzzle";
            const auto mark =
                std::find_if(page.begin(), page.end(), [](const Word &w) { return w.text == "Version"; });
            QVERIFY(mark + 1 < page.end());
            pages << kind + u' ' + (mark + 1)->text + (find(page, "(continued)").page ? " (continued)" : "");
            for (const Word &w : page) {
                QVERIFY2(w.x >= 0 && w.y >= 0 && w.x + w.width <= 8.5 && w.y + w.height <= 11,
                         qPrintable(w.text));
                seen[kind + w.text] += listed.contains(w.text);
            }
        }
        QCOMPARE(pages, (QStringList{"Puzzle 1", "Puzzle 1 (continued)", "Puzzle 2", "Puzzle 2 (continued)",
                                     "Solution 1", "Solution 1 (continued)", "Solution 2",
                                     "Solution 2 (continued)"}));
        for (const QString &word : listed)
            QVERIFY2(seen.value("Puzzle" + word) == 2 && seen.value("Solution" + word) == 2,
                     qPrintable(word));
        QVERIFY(QFile::exists(m_folder.filePath("m-2-solution-page2.png")));
    }

    // A class set written at once as PDF, PNG and SVG: one image file per page, named by the
    // puzzle's number and "-solution", each showing what its PDF page shows, the PNG at 300 dpi.
    void images()
    {
        const QDir dir(m_folder.filePath("images"));
        QVERIFY(dir.mkpath("."));
        const QString pdf = dir.filePath("set.pdf");
        QCOMPARE(make({"--make", "zoo", "--size", "10", "--count", "2", "--quiet", "--pdf", pdf, "--png",
                       dir.filePath("set.png"), "--svg", dir.filePath("set.svg"), "--solution", "--key",
                       "outline", "--paper", "a4"}),
                 0);
        const QList<Word> all = words(pdf);
        const QStringList names{"set-1", "set-2", "set-1-solution", "set-2-solution"};
        for (int page = 1; page <= 4; ++page) {
            // The same characters as the PDF page (pdftotext may join close letters into a word).
            QString pdfText;
            for (const Word &w : onPage(all, page))
                pdfText += w.text;
            QFile svg(dir.filePath(names[page - 1] + ".svg"));
            QVERIFY2(svg.open(QIODevice::ReadOnly), qPrintable(svg.fileName()));
            QString svgText;
            static const QRegularExpression text(R"(<text[^>]*>([^<]*)</text>)");
            for (auto it = text.globalMatch(QString::fromUtf8(svg.readAll())); it.hasNext();)
                svgText += it.next().captured(1).remove(u' ').replace("&amp;", "&");
            std::sort(pdfText.begin(), pdfText.end());
            std::sort(svgText.begin(), svgText.end());
            QVERIFY(pdfText.size() > 100);
            QCOMPARE(svgText, pdfText);

            QFile png(dir.filePath(names[page - 1] + ".png"));
            QVERIFY(png.open(QIODevice::ReadOnly));
            const QByteArray header = png.read(24);
            QCOMPARE(header.left(8), QByteArray("\x89PNG\r\n\x1a\n"));
            const auto bigEndian = [&](int at) {
                return (quint8(header[at]) << 24) | (quint8(header[at + 1]) << 16) |
                       (quint8(header[at + 2]) << 8) | quint8(header[at + 3]);
            };
            // A4 at 300 dpi: 8.27 × 11.69 inches.
            QVERIFY2(qAbs(int(bigEndian(16)) - 2480) <= 2 && qAbs(int(bigEndian(20)) - 3508) <= 2,
                     qPrintable(QStringLiteral("%1 x %2").arg(bigEndian(16)).arg(bigEndian(20))));
        }
        QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden).size(), 9);
    }

    // A link given to --pdf whose target is a bare name leads into the link's own folder.
    void pdfThroughARelativeLink()
    {
        const QDir dir(m_folder.filePath("linked"));
        QVERIFY(dir.mkpath("."));
        QVERIFY(QFile::link("real.pdf", dir.filePath("out.pdf")));
        QCOMPARE(make({"--make", "tiny", "--size", "3", "--quiet", "--pdf", "linked/out.pdf"}), 0);
        QCOMPARE(QFileInfo(dir.filePath("out.pdf")).symLinkTarget(), dir.filePath("real.pdf"));
        QFile real(dir.filePath("real.pdf"));
        QVERIFY(real.open(QIODevice::ReadOnly));
        QCOMPARE(real.read(5), QByteArray("%PDF-"));
        QVERIFY(!QFile::exists(m_folder.filePath("real.pdf")));
    }

    void classSetRepeatsWithItsSeedAndFailsWhole()
    {
        const auto run = [&](const QStringList &extra) {
            return runHeadless(m_folder.path(),
                               QStringList{"--make", "zoo", "--size", "10", "--count", "3"} + extra);
        };
        const CommandRun first = run({"--seed", "11", "--pdf", m_folder.filePath("a.pdf")});
        const CommandRun again = run({"--seed", "11", "--pdf", m_folder.filePath("b.pdf")});
        QCOMPARE(first.exitCode, 0);
        QCOMPARE(first.out.count(u'\n'), 3 * (10 + 1 + 10 + 1));
        QCOMPARE(again.out, first.out);

        // Word 2 never fits beside word 1 in a 3-square: 30 puzzles are tried, nothing is written.
        QFile hard(m_folder.filePath("HARD.lst"));
        QVERIFY(hard.open(QIODevice::WriteOnly));
        hard.write("ABC\r\nDEF\r\n");
        hard.close();
        const QString pdf = m_folder.filePath("hard.pdf");
        const CommandRun failed = runHeadless(
            m_folder.path(), {"--make", "hard", "--size", "3", "--count", "3", "--seed", "1", "--pdf", pdf});
        QCOMPARE(failed.exitCode, 3);
        QVERIFY(failed.out.isEmpty());
        QCOMPARE(failed.err.section(u',', 0, 2), QStringLiteral("30 puzzles, 0 completed, 30 given up"));
        QVERIFY(!QFile::exists(pdf));
    }

    // A PDF that cannot be written whole is reported (status 4) and leaves the file that was there
    // before untouched, whether the device takes nothing, the disk fills up or the program is
    // killed half-way.
    void failedWritesLeaveTheOldFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("roomKiB");        // left free on the full disk
        QTest::addColumn<QStringList>("others"); // earlier pages beside out.pdf
        const QStringList pages{"c-1-solution.png", "c-1.png",          "c-2-solution.png",
                                "c-2.png",          "c-3-solution.png", "c-3.png"};
        QTest::newRow("device that takes nothing")
            << "device" << QStringList{"--pdf", "/dev/full"} << 0 << QStringList{};
        QTest::newRow("folder in the file's place")
            << "device" << QStringList{"--pdf", "dv."} << 0 << QStringList{};
        QTest::newRow("images, the last into no folder")
            << "device"
            << QStringList{"--count", "3", "--solution", "--png", "c.png", "--svg", "/nonexistent/s.svg"} << 0
            << pages;
        QTest::newRow("full disk") << "full" << QStringList{"--solution"} << 0 << QStringList{};
        QTest::newRow("full disk, class set")
            << "full" << QStringList{"--count", "3", "--solution"} << 0 << QStringList{};
        QTest::newRow("nearly full disk, pages of a class set")
            << "full" << QStringList{"--count", "3", "--solution", "--png", "c.png"} << 200 << pages;
        QTest::newRow("killed while writing")
            << "killed" << QStringList{"--count", "100", "--solution"} << 0 << QStringList{};
    }
    void failedWritesLeaveTheOldFile()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, arguments);
        QFETCH(int, roomKiB);
        QFETCH(QStringList, others);
        QTemporaryDir place;
        QString mounted;
        const auto unmount = qScopeGuard([&] {
            if (!mounted.isEmpty())
                QProcess::execute("umount", {mounted});
        });
        if (kind == "full") {
            if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m", "tmpfs", place.path()}) != 0)
                QSKIP("mounting a tmpfs needs root");
            mounted = place.path();
        }
        const QDir dir(place.path());
        const QString pdf = dir.filePath("out.pdf");
        const QByteArray old = "%PDF-1.4 the printout of last week\n%%EOF\n";
        for (const QString &name : QStringList{"out.pdf"} + others) {
            QFile previous(dir.filePath(name));
            QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write(old) == old.size());
        }
        if (kind == "full") {
            QFile filler(dir.filePath("filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            int blocks = 0; // 1024 fill 1 MiB; the count stops a file system that never fills
            while (blocks < 100000 && filler.write(QByteArray(1024, 'x')) == 1024)
                ++blocks;
            QVERIFY(blocks < 100000);
            QVERIFY(filler.resize(qMax(0, blocks - roomKiB) * 1024));
        }
        QStringList command =
            QStringList{"--make", "zoo", "--size", "10", "--quiet", "--pdf", pdf} + arguments;
        command.replaceInStrings(QRegularExpression("^c.png$"), dir.filePath("c.png"));
        if (command.contains("dv.")) {
            QVERIFY(dir.mkdir("dv."));
            command.replaceInStrings(QRegularExpression("^dv.$"), dir.filePath("dv."));
        }
        const auto leftInPlace = [&] { return dir.entryList(QDir::Files | QDir::Hidden | QDir::System); };

        if (kind == "killed") {
            QProcess process;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.remove("QT_QPA_PLATFORM");
            process.setProcessEnvironment(environment);
            process.setWorkingDirectory(m_folder.path());
            process.start(qEnvironmentVariable("BRIVAMO_BINARY"), command);
            // Killed as soon as it has begun to write: into a file of its own beside the old one,
            // or (as it must not) into the old one.
            const auto bytesInPlace = [&] {
                QFile file(pdf);
                return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
            };
            QTRY_VERIFY_WITH_TIMEOUT(leftInPlace().size() == 2 || bytesInPlace() != old, 60000);
            process.kill();
            QVERIFY(process.waitForFinished(30000));
        } else {
            QString errors;
            QCOMPARE(make(command, &errors), 4);
            // A run of several files says that none of them changed.
            QVERIFY2(errors.startsWith("brivamo: Cannot write ") && errors.count(u'\n') == 1 &&
                         !errors.contains("..") &&
                         errors.endsWith(others.isEmpty() && !arguments.contains("--svg")
                                             ? QString(".\n")
                                             : QString("; no file was changed.\n")),
                     qPrintable(errors));
            if (kind == "full") {
                QVERIFY2(errors.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))), qPrintable(errors));
                QStringList expected = QStringList{"filler", "out.pdf"} + others;
                expected.sort();
                QCOMPARE(leftInPlace(), expected);
            }
        }
        for (const QString &name : QStringList{"out.pdf"} + others) {
            QFile previous(dir.filePath(name));
            QVERIFY(previous.open(QIODevice::ReadOnly));
            QCOMPARE(previous.readAll(), old);
        }
        if (kind == "killed") {
            // The next run of the same target clears what the killed one left behind, but not the
            // file of a writer still at work (this test's process stands in for one).
            const QString working =
                QStringLiteral(".out.pdf.%1-x.tmp").arg(QCoreApplication::applicationPid());
            QFile(dir.filePath(working)).open(QIODevice::WriteOnly);
            QCOMPARE(make(QStringList{"--make", "zoo", "--size", "10", "--quiet", "--pdf", pdf}), 0);
            QCOMPARE(leftInPlace(), (QStringList{working, "out.pdf"}));
        }
    }

    // A file takes the system's paper (PAPERSIZE, the file PAPERCONF names), else the locale's
    // LC_PAPER, unless --paper names one; the page's contents stay where they are on either sheet.
    void paper_data()
    {
        QTest::addColumn<QString>("settings"); // NAME=VALUE ...; PAPERCONF=letter writes such a file
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("size");
        const QString a4 = "595 x 842 pts (A4)", letter = "612 x 792 pts (letter)";
        QTest::newRow("German locale") << "LC_ALL=de_DE.UTF-8" << QStringList{} << a4;
        QTest::newRow("US locale") << "LC_ALL=en_US.UTF-8" << QStringList{} << letter;
        // The country's paper, not the language's.
        QTest::newRow("Canadian French locale") << "LC_ALL=fr_CA.UTF-8" << QStringList{} << letter;
        QTest::newRow("system says a4") << "LC_ALL=fr_CA.UTF-8 PAPERSIZE=a4" << QStringList{} << a4;
        QTest::newRow("system says letter")
            << "LC_ALL=de_DE.UTF-8 PAPERSIZE=letter" << QStringList{} << letter;
        QTest::newRow("paper file says letter")
            << "LC_ALL=de_DE.UTF-8 PAPERCONF=letter" << QStringList{} << letter;
        QTest::newRow("US locale, a4") << "LC_ALL=en_US.UTF-8" << QStringList{"--paper", "a4"} << a4;
        QTest::newRow("system says a4, letter")
            << "LC_ALL=de_DE.UTF-8 PAPERSIZE=a4" << QStringList{"--paper", "letter"} << letter;
        QTest::newRow("German locale, letter, class set")
            << "LC_ALL=de_DE.UTF-8" << QStringList{"--paper", "letter", "--count", "2", "--solution"}
            << letter;
    }
    void paper()
    {
        QFETCH(QString, settings);
        QFETCH(QStringList, arguments);
        QFETCH(QString, size);
        // The locales' own data, made here: a fresh machine may have none but C.
        static QTemporaryDir locales;
        for (const QString name : {"de_DE", "en_US", "fr_CA"})
            if (!QFileInfo::exists(locales.filePath(name + ".UTF-8")))
                QCOMPARE(QProcess::execute("localedef",
                                           {"-i", name, "-f", "UTF-8", locales.filePath(name + ".UTF-8")}),
                         0);
        const QString pdf = m_folder.filePath("paper.pdf");
        QProcessEnvironment environment;
        environment.insert("LOCPATH", locales.path());
        environment.insert("PAPERCONF", "/nonexistent/papersize"); // not the machine's own
        for (const QString &setting : settings.split(u' ')) {
            const QString name = setting.section(u'=', 0, 0), value = setting.section(u'=', 1);
            if (name == "PAPERCONF") {
                QFile file(m_folder.filePath("papersize"));
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(value.toUtf8() + '\n') > 0);
                environment.insert(name, file.fileName());
            } else {
                environment.insert(name, value);
            }
        }
        const CommandRun run =
            runHeadless(m_folder.path(),
                        QStringList{"--make", "zoo", "--size", "10", "--quiet", "--pdf", pdf} + arguments,
                        {"LANG", "LC_ALL", "LC_PAPER", "LC_MEASUREMENT", "PAPERSIZE"}, environment);
        QCOMPARE(run.exitCode, 0);
        QProcess info;
        info.start("pdfinfo", {pdf});
        QVERIFY(info.waitForFinished(30000));
        const QString text = QString::fromUtf8(info.readAllStandardOutput());
        static const QRegularExpression sizeLine(R"(Page size:\s+(.*)\n)");
        QCOMPARE(sizeLine.match(text).captured(1), size);
        const QList<Word> page = onPage(words(pdf), 1);
        QVERIFY(qAbs(find(page, "Brivamo").x - 1.0) < 0.01);
        QVERIFY(qAbs(find(page, "In").y - 7.2) < 0.05);
    }

    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("solution without pdf") << QStringList{"--make", "zoo", "--solution"} << 2;
        QTest::newRow("dedication without pdf") << QStringList{"--make", "zoo", "--dedication", "Sam"} << 2;
        QTest::newRow("set larger than 1000")
            << QStringList{"--make", "zoo", "--pdf", "x.pdf", "--count", "1001"} << 2;
        QTest::newRow("pdf without a file") << QStringList{"--make", "zoo", "--pdf"} << 2;
        QTest::newRow("png over a list") << QStringList{"--make", "zoo", "--png", "Zoo.lst"} << 2;
        QTest::newRow("svg solution over a list")
            << QStringList{"--make", "zoo", "--svg", "Zoo.lst", "--solution", "--quiet"} << 2;
        QTest::newRow("unwritable image")
            << QStringList{"--make", "zoo", "--svg", "no/such/folder/x.svg", "--quiet"} << 4;
        QTest::newRow("unknown paper")
            << QStringList{"--make", "zoo", "--pdf", "x.pdf", "--paper", "a5"} << 2;
        QTest::newRow("paper for a printer") << QStringList{"--make", "zoo", "--print", "--paper", "a4"} << 2;
        QTest::newRow("unwritable file")
            << QStringList{"--make", "zoo", "--pdf", "no/such/folder/x.pdf", "--quiet"} << 4;
    }
    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QString errors;
        QCOMPARE(make(arguments, &errors), exitCode);
        QVERIFY(errors.contains("brivamo: "));
    }
};

QTEST_GUILESS_MAIN(TestPuzzlePageCommand)
#include "tst_puzzle_page_command.moc"
