// The pictures of the title window, the lobby and the puzzle window on scaled screens: every one
// is shown from the copy drawn for the screen's scale (tst_artwork checks that these copies are
// drawn anew, not enlarged), one picture pixel to a device pixel. The test runs on offscreen
// screens with device pixel ratios 1, 1.5 and 2 at once.
#include "app/frm_title_page.h"
#include "common/scaled_screens.h"
#include "controls/ostrel_button.h"
#include "effects/fade.h"
#include "lobby/frm_lobby.h"
#include "puzzle/frm_puzzle.h"

#include <QLabel>
#include <QMovie>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <optional>

using namespace brivamo;

namespace {

// A picture as the window should show it: the image, where its top-left device pixel should be
// in the window's grab, and what each of its pixels should become there (nothing: not checked).
struct ShownPicture
{
    QString name;
    QImage image;
    QPointF origin;
    std::function<std::optional<QRgb>(QRgb)> expected;
};

int Edge(qreal ratio, qreal v)
{
    return int(std::floor(v * ratio + 0.5));
}

// The buttons' pictures: as they are while enabled, as the engraved silhouette of their dark parts
// in the shadow colour while disabled.
void AddButtons(QWidget &window, qreal ratio, QList<ShownPicture> &pictures)
{
    for (OstrelButton *button : window.findChildren<OstrelButton *>()) {
        if (!button->isVisibleTo(&window) || button->PictureNormal().isNull())
            continue;
        const ContentLayout &layout = button->contentLayout();
        const QPointF at = QPointF(button->mapTo(&window, QPoint(0, 0))) * ratio +
                           QPointF(Edge(ratio, layout.pictureX), Edge(ratio, layout.pictureY));
        const ButtonPalette &palette = button->buttonPalette();
        const QRgb shadow = qRgb(RedOf(palette.shadow), GreenOf(palette.shadow), BlueOf(palette.shadow));
        const bool enabled = button->Enabled();
        pictures.append({button->objectName(), button->PictureNormal().imageFor(ratio), at,
                         [enabled, shadow](QRgb p) -> std::optional<QRgb> {
                             if (qAlpha(p) < 128)
                                 return std::nullopt;
                             if (enabled)
                                 return p | 0xFF000000u;
                             if (qRed(p) + qGreen(p) + qBlue(p) <= 384)
                                 return shadow;
                             return std::nullopt;
                         }});
    }
}

// The share of the grab's pixels, at `at`, that show the picture as expected (of those checked).
double Shown(const QImage &grab, const ShownPicture &picture, QPoint at, int *checked)
{
    int matched = 0;
    *checked = 0;
    for (int y = 0; y < picture.image.height(); ++y)
        for (int x = 0; x < picture.image.width(); ++x) {
            const auto want = picture.expected(picture.image.pixel(x, y));
            if (!want)
                continue;
            ++*checked;
            const QPoint p = at + QPoint(x, y);
            matched += grab.rect().contains(p) && grab.pixel(p) == *want;
        }
    return *checked ? double(matched) / *checked : 0.0;
}

} // namespace

class TestSharpPictures : public QObject
{
    Q_OBJECT

    QTemporaryDir m_lists;

    static void PlaceAndShow(Form &window, qreal ratio)
    {
        QScreen *screen = ScreenWithRatio(ratio);
        window.setScreen(screen);
        window.move(screen->geometry().topLeft() + QPoint(10, 10));
        window.Show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.devicePixelRatioF(), ratio);
    }

private slots:
    void initTestCase()
    {
        // The lobby reads and writes list files in the current folder.
        QVERIFY(m_lists.isValid());
        QVERIFY(QDir::setCurrent(m_lists.path()));
    }

    void cleanup()
    {
        destroyAllForms();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        modFadeInOut::FadeActive = false;
    }

    void picturesDrawnForTheScreen_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("pictures"); // how many the window shows
        for (qreal ratio : {1.0, 1.5, 2.0}) {
            QTest::addRow("title window, ratio %g", ratio)
                << "title" << ratio << frmTitlePage::AniGifCount + 1;
            QTest::addRow("lobby, ratio %g", ratio) << "lobby" << ratio << 9;
            QTest::addRow("puzzle window, ratio %g", ratio) << "puzzle" << ratio << 4;
        }
    }

    void picturesDrawnForTheScreen()
    {
        QFETCH(QString, window);
        QFETCH(qreal, ratio);
        QFETCH(int, pictures);
        QVERIFY2(ScreenWithRatio(ratio), "no offscreen screen with this ratio");

        Form *shown = nullptr;
        QList<ShownPicture> expected;
        if (window == QLatin1String("title")) {
            frmTitlePage &title = form<frmTitlePage>();
            PlaceAndShow(title, ratio);
            for (int index = 0; index < frmTitlePage::AniGifCount; ++index) {
                QLabel *label = title.AniGif(index);
                // The frame compared is the frame grabbed: one halfway through, with letters.
                label->movie()->setPaused(true);
                label->movie()->jumpToFrame(label->movie()->frameCount() / 2);
                QImage frame = label->movie()->currentImage().convertToFormat(QImage::Format_ARGB32);
                // The frame has the label's size in device pixels: it was drawn for this scale.
                QCOMPARE(frame.width(), qRound(label->width() * ratio));
                QCOMPARE(frame.height(), qRound(label->height() * ratio));
                frame.setDevicePixelRatio(ratio);
                expected.append({label->objectName(), frame,
                                 QPointF(label->mapTo(&title, QPoint(0, 0))) * ratio,
                                 [](QRgb p) -> std::optional<QRgb> {
                                     return qAlpha(p) == 255 ? std::optional<QRgb>(p) : std::nullopt;
                                 }});
            }
            shown = &title;
        } else if (window == QLatin1String("lobby")) {
            frmLobby &lobby = form<frmLobby>();
            PlaceAndShow(lobby, ratio);
            shown = &lobby;
        } else {
            frmPuzzle &puzzle = form<frmPuzzle>();
            puzzle.setSource(QStringLiteral("ANIMALS"), {QStringLiteral("ZEBRA"), QStringLiteral("LION")});
            PlaceAndShow(puzzle, ratio);
            shown = &puzzle;
        }
        AddButtons(*shown, ratio, expected);
        QCOMPARE(expected.size(), pictures);

        const QImage grab = shown->grab().toImage().convertToFormat(QImage::Format_RGB32);
        for (const ShownPicture &picture : expected) {
            const QString what = picture.name + QStringLiteral(" at ratio %1").arg(ratio);
            QCOMPARE(picture.image.devicePixelRatio(), ratio);
            // The picture's own pixels, one to a device pixel, unchanged, near their place (a
            // widget at a fractional device position lands a pixel either way; the default
            // button places its picture from its bold caption's layout).
            double best = 0.0;
            int checked = 0;
            const QPoint nominal(qFloor(picture.origin.x()), qFloor(picture.origin.y()));
            const int reach = qCeil(4 * ratio);
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    int count = 0;
                    best = std::max(best, Shown(grab, picture, nominal + QPoint(dx, dy), &count));
                    checked = std::max(checked, count);
                }
            QVERIFY2(checked > 20, qPrintable(what + QStringLiteral(": nothing to compare")));
            QVERIFY2(best >= 0.99, qPrintable(what + QStringLiteral(": %1 % of the picture shown as drawn")
                                                         .arg(100 * best, 0, 'f', 1)));
        }
    }

    // The windows' icon at a size and scale comes from the picture drawn at that many pixels.
    void iconDrawnForTheScreen_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<QString>("picture");
        QTest::newRow("unscaled") << 1.0 << ":/pictures/brivamo_64.png";
        QTest::newRow("ratio 2") << 2.0 << ":/pictures/brivamo_128.png";
    }

    void iconDrawnForTheScreen()
    {
        QFETCH(qreal, ratio);
        QFETCH(QString, picture);
        frmTitlePage &title = form<frmTitlePage>();
        QImage shown = title.windowIcon().pixmap(QSize(64, 64), ratio).toImage();
        QCOMPARE(shown.devicePixelRatio(), ratio);
        shown.setDevicePixelRatio(1.0);
        const QImage drawn(picture);
        QCOMPARE(shown.size(), drawn.size());
        QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
};

int main(int argc, char **argv)
{
    TestSharpPictures test;
    return RunOnScaledScreens(test, argc, argv);
}

#include "tst_sharp_pictures.moc"
