#include "base/maker_info.h"
#include "base/window_routines.h"
#include "common/recording_link_opener.h"
#include "common/scripted_dialogs.h"

#include <QLabel>
#include <QPainter>
#include <QtTest>

using namespace brivamo;

namespace {

// A 10 by 8 tile: red with a blue top-left pixel, so each copy's origin can be found.
QPixmap markedTile()
{
    QImage image(10, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    image.setPixel(0, 0, qRgb(0, 0, 255));
    return QPixmap::fromImage(image);
}

} // namespace

class TestModStandard : public QObject
{
    Q_OBJECT
private slots:
    void tileOrigins_data()
    {
        QTest::addColumn<QSize>("surface");
        QTest::addColumn<QSize>("tile");
        QTest::addColumn<QList<int>>("xs");
        QTest::addColumn<QList<int>>("ys");
        QTest::newRow("narrower than the tile")
            << QSize(5, 4) << QSize(10, 8) << QList<int>{0} << QList<int>{0};
        QTest::newRow("exactly twice the width")
            << QSize(20, 8) << QSize(10, 8) << QList<int>{0, 10, 20} << QList<int>{0, 8};
        QTest::newRow("in between") << QSize(25, 17) << QSize(10, 8) << QList<int>{0, 10, 20}
                                    << QList<int>{0, 8, 16};
        QTest::newRow("empty surface") << QSize(0, 0) << QSize(10, 8) << QList<int>{0} << QList<int>{0};
        QTest::newRow("empty tile") << QSize(20, 20) << QSize(0, 0) << QList<int>{} << QList<int>{};
    }
    void tileOrigins()
    {
        QFETCH(QSize, surface);
        QFETCH(QSize, tile);
        QFETCH(QList<int>, xs);
        QFETCH(QList<int>, ys);
        QList<QPoint> expected;
        for (int x : xs)
            for (int y : ys)
                expected.append(QPoint(x, y));
        QCOMPARE(modStandard::tileOrigins(surface, tile), expected);
    }

    void tiledBackgroundPersistsUnderControls()
    {
        QWidget surface;
        surface.resize(25, 17);
        auto *label = new QLabel(&surface);
        label->setGeometry(12, 0, 8, 8);
        label->setAutoFillBackground(true);
        label->setPalette(QPalette(Qt::green));
        modStandard::TileBackground(markedTile(), &surface);

        QImage shown = surface.grab().toImage();
        QCOMPARE(shown.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(shown.pixelColor(20, 8), QColor(Qt::blue));
        QCOMPARE(shown.pixelColor(20, 16), QColor(Qt::blue));
        QCOMPARE(shown.pixelColor(24, 16), QColor(Qt::red));
        // The control stays on top, and the tiling is not passed on to it.
        QCOMPARE(shown.pixelColor(12, 0), QColor(Qt::green));

        // Repainted after a resize, still anchored at (0, 0).
        surface.resize(35, 10);
        shown = surface.grab().toImage();
        QCOMPARE(shown.pixelColor(30, 8), QColor(Qt::blue));

        // Calling it again replaces the picture.
        QImage plain(10, 8, QImage::Format_RGB32);
        plain.fill(Qt::yellow);
        modStandard::TileBackground(QPixmap::fromImage(plain), &surface);
        QCOMPARE(surface.grab().toImage().pixelColor(0, 0), QColor(Qt::yellow));
    }

    void openLinkHandsOverTheLink_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("link");
        QTest::newRow("mail to the maker") << 1 << QString() << QStringLiteral("mailto:") + MakerEmail;
        QTest::newRow("maker's web page") << 2 << QString() << QStringLiteral("http://") + MakerWebAddress;
        QTest::newRow("mail with a target") << 1 << "?subject=Hello"
                                            << "mailto:?subject=Hello";
        QTest::newRow("page with a target") << 2 << "example.org/x"
                                            << "http://example.org/x";
    }
    void openLinkHandsOverTheLink()
    {
        QFETCH(int, kind);
        QFETCH(QString, target);
        QFETCH(QString, link);
        RecordingLinkOpener opener;
        ScriptedDialogs dialogs;
        QWidget owner;
        modStandard::OpenLink(kind, &owner, target);
        QCOMPARE(opener.links, QStringList{link});
        QCOMPARE(dialogs.count(), 0);
    }

    void unknownKindOpensNothing()
    {
        RecordingLinkOpener opener;
        ScriptedDialogs dialogs;
        modStandard::OpenLink(3, nullptr);
        QVERIFY(opener.links.isEmpty());
        QCOMPARE(dialogs.count(), 0);
    }

    void failedLinkShowsTheMessage()
    {
        RecordingLinkOpener opener;
        opener.succeed = false;
        ScriptedDialogs dialogs;
        dialogs.queueMessage(MsgAnswer::Ok);
        modStandard::OpenLink(2, nullptr);
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(dialogs.last().caption, QStringLiteral("Error"));
        QCOMPARE(dialogs.last().text, QStringLiteral("Could not establish an internet connection!"));
        QCOMPARE(dialogs.last().icon, MsgIcon::Critical);
        QCOMPARE(dialogs.last().buttons, MsgButtons::OkOnly);
    }
};

QTEST_MAIN(TestModStandard)
#include "tst_window_routines.moc"
