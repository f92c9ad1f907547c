// Tiled backgrounds on scaled screens: drawn at the device pixel ratio, with the sharper "@2x"
// copy of a picture where one exists.
#include "base/window_routines.h"
#include "common/scaled_screens.h"

#include <QTemporaryDir>

using namespace brivamo;

class TestScaledBackgrounds : public QObject
{
    Q_OBJECT
private slots:
    void sharpCopyOnScaledScreens_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSize>("sharpSize"); // of the "@2x" file; empty: there is none
        QTest::addColumn<QRgb>("secondDevicePixel");
        const QRgb blue = qRgb(0, 0, 255), red = qRgb(255, 0, 0), green = qRgb(0, 255, 0);
        QTest::newRow("unscaled screen keeps the plain tile") << 1.0 << QSize(20, 16) << red;
        QTest::newRow("2x screen takes the sharp copy") << 2.0 << QSize(20, 16) << green;
        QTest::newRow("2x screen without a copy doubles the plain tile") << 2.0 << QSize() << blue;
        QTest::newRow("a copy of the wrong size is no copy") << 2.0 << QSize(30, 16) << blue;
    }

    void sharpCopyOnScaledScreens()
    {
        QFETCH(qreal, ratio);
        QFETCH(QSize, sharpSize);
        QFETCH(QRgb, secondDevicePixel);

        // A 10 by 8 red tile with a blue origin pixel; its sharp copy has a green pixel beside the
        // origin, a detail the plain tile cannot show.
        QTemporaryDir dir;
        QImage plain(10, 8, QImage::Format_RGB32);
        plain.fill(Qt::red);
        plain.setPixel(0, 0, qRgb(0, 0, 255));
        QVERIFY(plain.save(dir.filePath(QStringLiteral("tile.png"))));
        if (!sharpSize.isEmpty()) {
            QImage sharp(sharpSize, QImage::Format_RGB32);
            sharp.fill(Qt::red);
            sharp.setPixel(0, 0, qRgb(0, 0, 255));
            sharp.setPixel(1, 0, qRgb(0, 255, 0));
            QVERIFY(sharp.save(dir.filePath(QStringLiteral("tile@2x.png"))));
        }

        QWidget surface;
        PlaceOnScreen(surface, ratio, QSize(25, 17));
        modStandard::TileBackground(dir.filePath(QStringLiteral("tile.png")), &surface);
        const QImage shown = surface.grab().toImage();
        QCOMPARE(shown.size(), QSize(qRound(25 * ratio), qRound(17 * ratio)));
        // Each copy starts at a multiple of the tile's logical size.
        for (int copy = 0; copy < 3; ++copy) {
            const int x = qRound(copy * 10 * ratio);
            QCOMPARE(shown.pixel(x, 0), qRgb(0, 0, 255));
            QCOMPARE(shown.pixel(x + 1, 0), secondDevicePixel);
        }
    }
};

int main(int argc, char **argv)
{
    TestScaledBackgrounds test;
    return RunOnScaledScreens(test, argc, argv);
}

#include "tst_scaled_backgrounds.moc"
