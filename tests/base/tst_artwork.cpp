#include <QtTest>

#include <QDir>
#include <QImage>
#include <QImageReader>

#include <cmath>

// Every picture the windows use must be built into the program with the size the
// layouts were made for; animations must really animate.
class TestArtwork : public QObject
{
    Q_OBJECT
private slots:
    void loads_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("frames"); // 0: an animation of 8 to 24 frames

        QTest::newRow("title_anim_0") << "title_anim_0.gif" << QSize(112, 80) << 0;
        for (int i = 1; i <= 8; ++i) {
            const QString file = QStringLiteral("title_anim_%1.gif").arg(i);
            QTest::newRow(qPrintable(file)) << file << QSize(40, 25) << 0;
        }
        const struct
        {
            const char *file;
            int w, h;
        } stills[] = {
            {"title_tile.png", 64, 64},     {"notice_tile.gif", 127, 127},
            {"lobby_tile.png", 128, 128},   {"lobby_strip_tile.png", 57, 57},
            {"puzzle_tile.png", 48, 48},    {"puzzle_banner_tile.png", 57, 57},
            {"help_tile.jpg", 64, 64},      {"help.png", 32, 32},
            {"fade_on.png", 32, 32},        {"fade_off.png", 32, 32},
            {"email.png", 32, 32},          {"quit.png", 32, 32},
            {"sound_on.png", 32, 32},       {"sound_off.png", 32, 32},
            {"lobby.png", 32, 32},          {"add_category.png", 32, 32},
            {"new_add.png", 32, 32},        {"new_save.png", 32, 32},
            {"new_cancel.png", 32, 32},     {"delete_category.png", 32, 32},
            {"make_puzzle.png", 32, 32},    {"cancel_puzzle.png", 32, 32},
            {"view_puzzle.png", 32, 32},    {"view_solution.png", 32, 32},
            {"print.png", 32, 32},          {"help_topics.png", 32, 32},
            {"return.png", 32, 32},         {"continue.png", 32, 32},
            {"add_word_16.png", 16, 16},    {"edit_word_16.png", 16, 16},
            {"delete_word_16.png", 16, 16}, {"brivamo_64.png", 64, 64},
            {"brivamo_128.png", 128, 128},
        };
        for (const auto &s : stills)
            QTest::newRow(s.file) << QString::fromLatin1(s.file) << QSize(s.w, s.h) << 1;
        // Sharper copies for scaled screens, twice the size of the tile they stand for.
        QTest::newRow("notice_tile@2x.gif") << "notice_tile@2x.gif" << QSize(254, 254) << 1;
        QTest::newRow("lobby_tile@2x.png") << "lobby_tile@2x.png" << QSize(256, 256) << 1;
        QTest::newRow("lobby_strip_tile@2x.png") << "lobby_strip_tile@2x.png" << QSize(114, 114) << 1;
        QTest::newRow("puzzle_tile@2x.png") << "puzzle_tile@2x.png" << QSize(96, 96) << 1;
        QTest::newRow("puzzle_banner_tile@2x.png") << "puzzle_banner_tile@2x.png" << QSize(114, 114) << 1;
    }

    void loads()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QFETCH(int, frames);

        QImageReader reader(QStringLiteral(":/pictures/") + file);
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        const int count = reader.imageCount();
        const QImage first = reader.read();
        QVERIFY2(!first.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(first.size(), size);
        if (frames == 0) {
            QVERIFY2(count >= 8 && count <= 24, qPrintable(QString::number(count)));
            QVERIFY(reader.supportsAnimation());
            QCOMPARE(reader.loopCount(), -1); // loops for ever
        } else {
            QVERIFY(count <= 1);
        }
    }

    // Every button picture and animation also comes drawn for screens that scale by 1.5 and 2:
    // the same picture (size times the scale, as many frames) drawn anew, so that it has detail
    // within its logical pixels, which an enlarged copy never has.
    void sharperCopies_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("copy");
        QTest::addColumn<qreal>("ratio");
        const QStringList files = QDir(QStringLiteral(":/pictures")).entryList(QDir::Files);
        int pictures = 0;
        for (const QString &file : files) {
            // Vector pictures draw themselves at any scale.
            if (file.contains(u'@') || file.contains(QLatin1String("_tile")) ||
                file.startsWith(QLatin1String("brivamo")) || file.endsWith(QLatin1String(".svg")))
                continue;
            ++pictures;
            const qsizetype dot = file.lastIndexOf(u'.');
            for (qreal ratio : {1.5, 2.0}) {
                const QString copy = file.left(dot) + QStringLiteral("@%1x").arg(ratio) + file.mid(dot);
                QTest::newRow(qPrintable(copy)) << file << copy << ratio;
            }
        }
        QVERIFY(pictures >= 33); // 24 button pictures and 9 animations
    }

    void sharperCopies()
    {
        QFETCH(QString, file);
        QFETCH(QString, copy);
        QFETCH(qreal, ratio);

        QImageReader plain(QStringLiteral(":/pictures/") + file);
        QImageReader sharp(QStringLiteral(":/pictures/") + copy);
        QVERIFY2(sharp.canRead(), qPrintable(copy + QStringLiteral(" is missing")));
        QCOMPARE(sharp.imageCount(), plain.imageCount());
        const QSize size = plain.size();
        QCOMPARE(sharp.size(), QSize(qRound(size.width() * ratio), qRound(size.height() * ratio)));

        auto edge = [ratio](int v) { return int(std::floor(v * ratio + 0.5)); };
        qint64 pixels = 0, fine = 0;
        for (int frame = 0; frame < std::max(1, sharp.imageCount()); ++frame) {
            QImage image = sharp.read();
            QVERIFY(!image.isNull());
            QCOMPARE(image.hasAlphaChannel(), plain.read().hasAlphaChannel());
            image = image.convertToFormat(QImage::Format_ARGB32);
            for (int ly = 0; ly < size.height(); ++ly)
                for (int lx = 0; lx < size.width(); ++lx) {
                    const QRgb first = image.pixel(edge(lx), edge(ly));
                    for (int y = edge(ly); y < std::min(edge(ly + 1), image.height()); ++y)
                        for (int x = edge(lx); x < std::min(edge(lx + 1), image.width()); ++x)
                            fine += image.pixel(x, y) != first;
                }
            pixels += qint64(image.width()) * image.height();
        }
        QVERIFY2(
            fine > pixels / 200,
            qPrintable(QStringLiteral("%1 of %2 pixels finer than a logical pixel").arg(fine).arg(pixels)));
    }
};

QTEST_GUILESS_MAIN(TestArtwork)
#include "tst_artwork.moc"
