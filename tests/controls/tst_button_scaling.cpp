// Buttons on scaled screens. The test runs on three offscreen screens with device pixel ratios
// 1, 1.5 and 2 at once, so every ratio is a real screen's and not a simulated one.
#include "common/scaled_screens.h"
#include "controls/ostrel_button.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace brivamo;

namespace {

constexpr int W = 141;
constexpr int H = 33;

int Edge(qreal ratio, int v)
{
    return int(std::floor(v * ratio + 0.5));
}

// A window holding one button, shown on the screen with the given ratio.
struct Host
{
    QWidget window;
    OstrelButton *button;

    Host(qreal ratio, ButtonStyle style)
    {
        PlaceOnScreen(window, ratio, QSize(W + 40, H + 40));
        button = new OstrelButton(&window);
        button->setGeometry(20, 20, W, H);
        button->setFocusPolicy(Qt::NoFocus); // the same look in the active window and the other
        button->setButtonType(style);
        button->setColorScheme(ColourScheme::Properties);
        button->setBackColor(MakeColour(192, 192, 192));
        button->setForeColor(MakeColour(0, 0, 64));
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSize(9);
        font.setBold(true);
        button->setFont(font);
        button->setCaption(QStringLiteral("&Make"));
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            qWarning("host window not shown");
        button->Refresh();
    }
};

} // namespace

class TestButtonScaling : public QObject
{
    Q_OBJECT
private slots:
    void surfaceAtDeviceRatio_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<ButtonStyle>("style");
        for (qreal ratio : {1.0, 1.5, 2.0})
            for (ButtonStyle style : {ButtonStyle::Gradient, ButtonStyle::Rounded, ButtonStyle::SeeThrough}) {
                const QString name = QStringLiteral("ratio %1, type %2").arg(ratio).arg(qint32(style));
                QTest::newRow(qPrintable(name)) << ratio << style;
            }
    }

    // The image has the device size; every logical pixel outside the caption is one solid
    // block of device pixels in exactly the colour the unscaled button has there (so frames,
    // bevels, gradients and corners are where the recipe puts them); the caption is drawn at
    // device resolution, antialiased, with its access-key underline clear of the letter.
    void surfaceAtDeviceRatio()
    {
        QFETCH(qreal, ratio);
        QFETCH(ButtonStyle, style);
        QVERIFY2(ScreenWithRatio(ratio), "no offscreen screen with this ratio");

        Host plain(1.0, style);
        Host scaled(ratio, style);
        QCOMPARE(scaled.button->devicePixelRatioF(), ratio);
        const QImage &reference = plain.button->surface();
        const QImage &image = scaled.button->surface();
        QCOMPARE(reference.size(), QSize(W, H));
        QCOMPARE(image.size(), QSize(Edge(ratio, W), Edge(ratio, H)));
        QCOMPARE(image.devicePixelRatio(), ratio);

        // Pixel-exact shapes, in logical pixels.
        const PixelRect t = scaled.button->contentLayout().caption;
        QCOMPARE(t, plain.button->contentLayout().caption);
        const QRect text(t.left - 4, t.top - 1, t.width() + 8, t.height() + 2);
        int blocks = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                if (text.contains(x, y))
                    continue;
                const QRgb want = reference.pixel(x, y);
                for (int dy = Edge(ratio, y); dy < Edge(ratio, y + 1); ++dy)
                    for (int dx = Edge(ratio, x); dx < Edge(ratio, x + 1); ++dx)
                        QVERIFY2(image.pixel(dx, dy) == want,
                                 qPrintable(QStringLiteral("logical pixel (%1, %2)").arg(x).arg(y)));
                ++blocks;
            }
        QVERIFY(blocks > W * H / 2);

        // The caption: rows of the face keep one colour across the text's width (the face is a
        // vertical gradient), so anything else there is ink.
        const int left = Edge(ratio, t.left - 3);
        const int right = Edge(ratio, t.right + 3);
        const int top = Edge(ratio, t.top);
        const int bottom = Edge(ratio, t.bottom);
        QRgb darkest = 0xFFFFFFFFu;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (qGray(image.pixel(x, y)) < qGray(darkest))
                    darkest = image.pixel(x, y);
        int inkPixels = 0, softPixels = 0, offBlock = 0;
        for (int y = top; y < bottom; ++y) {
            const QRgb face = image.pixel(left - 1, y);
            for (int x = left; x < right; ++x) {
                const QRgb p = image.pixel(x, y);
                if (p == face)
                    continue;
                ++inkPixels;
                softPixels += p != darkest;
                // A caption enlarged from logical pixels repeats the top-left device pixel of
                // every logical pixel's block.
                const int lx = int(x / ratio), ly = int(y / ratio);
                offBlock += p != image.pixel(Edge(ratio, lx), Edge(ratio, ly));
            }
        }
        QVERIFY2(inkPixels > 20, "the caption is missing");
        QVERIFY2(softPixels > inkPixels / 10, "the caption is not antialiased");
        if (ratio > 1.0)
            QVERIFY2(offBlock > inkPixels / 10, "the caption is enlarged from logical pixels");

        // The underline: the lowest row holding a long run of the darkest ink; the device row
        // just above it must be bare face across the run.
        int lineRow = -1, runStart = 0, runEnd = 0;
        for (int y = bottom - 1; y >= top && lineRow < 0; --y) {
            int run = 0;
            for (int x = left; x <= right; ++x) {
                if (x < right && image.pixel(x, y) == darkest) {
                    ++run;
                    continue;
                }
                if (run >= 5 * ratio) {
                    lineRow = y;
                    runStart = x - run;
                    runEnd = x;
                    break;
                }
                run = 0;
            }
        }
        QVERIFY2(lineRow > top, "no access-key underline");
        while (lineRow > top && image.pixel(runStart, lineRow - 1) == darkest)
            --lineRow; // the underline may be more than one device pixel thick
        const QRgb face = image.pixel(left - 1, lineRow - 1);
        for (int x = runStart; x < runEnd; ++x)
            QVERIFY2(image.pixel(x, lineRow - 1) == face,
                     qPrintable(QStringLiteral("underline touches the letter at device x %1").arg(x)));
        // ... and the letter is right above that gap.
        int letterInk = 0;
        for (int y = lineRow - 1 - Edge(ratio, 3); y < lineRow - 1; ++y)
            for (int x = runStart; x < runEnd; ++x)
                letterInk += image.pixel(x, y) != image.pixel(left - 1, y);
        QVERIFY2(letterInk > 0, "the underline is not under the letter");
    }

    // A picture is drawn from its copy made for the screen's scale, one copy pixel to a device
    // pixel; without a fitting copy each picture pixel fills the device pixels of its logical
    // pixel, as before.
    void pictureFromCopyForScale_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QSize>("copySize"); // of "pic@<ratio>x.png"; empty: none
        QTest::addColumn<bool>("fromCopy");
        QTest::newRow("1.5 with a copy") << 1.5 << QSize(12, 9) << true;
        QTest::newRow("2 with a copy") << 2.0 << QSize(16, 12) << true;
        QTest::newRow("2 without a copy") << 2.0 << QSize() << false;
        QTest::newRow("2 with a copy of the wrong size") << 2.0 << QSize(16, 13) << false;
    }

    void pictureFromCopyForScale()
    {
        QFETCH(qreal, ratio);
        QFETCH(QSize, copySize);
        QFETCH(bool, fromCopy);

        // Every pixel of the picture and of its copy has a colour of its own.
        auto pattern = [](QSize size, int salt) {
            QImage image(size, QImage::Format_ARGB32);
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    image.setPixel(x, y, qRgb(20 + 9 * x, 20 + 9 * y, salt));
            return image;
        };
        QTemporaryDir dir;
        QVERIFY(pattern(QSize(8, 6), 0).save(dir.filePath(QStringLiteral("pic.png"))));
        if (!copySize.isEmpty())
            QVERIFY(pattern(copySize, 200).save(dir.filePath(QStringLiteral("pic@%1x.png").arg(ratio))));

        Host host(ratio, ButtonStyle::Gradient);
        const ButtonPicture picture = ButtonPicture::fromReference(dir.filePath(QStringLiteral("pic.png")));
        host.button->setPictureNormal(picture);
        QCOMPARE(picture.width(), 8); // positions and sizes stay logical
        const QImage &drawn = picture.imageFor(ratio);
        QCOMPARE(drawn.devicePixelRatio(), fromCopy ? ratio : 1.0);

        const QImage &surface = host.button->surface();
        const int left = Edge(ratio, host.button->contentLayout().pictureX);
        const int top = Edge(ratio, host.button->contentLayout().pictureY);
        const int right = Edge(ratio, host.button->contentLayout().pictureX + 8);
        const int bottom = Edge(ratio, host.button->contentLayout().pictureY + 6);
        QCOMPARE(right - left, qRound(8 * ratio));
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) {
                // The device pixel's own pixel of the copy, or the picture pixel of its logical pixel.
                const QRgb want = fromCopy ? drawn.pixel(x - left, y - top)
                                           : drawn.pixel(int((x - left) / ratio), int((y - top) / ratio));
                QVERIFY2(surface.pixel(x, y) == want,
                         qPrintable(QStringLiteral("device pixel (%1, %2)").arg(x - left).arg(y - top)));
            }
    }
};

int main(int argc, char **argv)
{
    TestButtonScaling test;
    return RunOnScaledScreens(test, argc, argv);
}

#include "tst_button_scaling.moc"
