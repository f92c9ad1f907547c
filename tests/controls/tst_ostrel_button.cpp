// The button widget: pixels of its looks, its events and its stored definitions.
#include "controls/ostrel_button.h"

#include <QApplication>
#include <QPainter>
#include <QtTest>

#include <memory>

using namespace brivamo;

using State = OstrelButton::DrawState;

namespace QTest {
template <> char *toString(const std::optional<State> &state)
{
    return qstrdup(!state ? "nothing drawn" : *state == State::Normal ? "Normal" : "Pressed");
}
} // namespace QTest

namespace {

constexpr int W = 141;
constexpr int H = 63;

Colour At(const OstrelButton &b, int x, int y)
{
    const QRgb p = b.surface().pixel(x, y);
    return MakeColour(qRed(p), qGreen(p), qBlue(p));
}

int CountColour(const OstrelButton &b, const PixelRect &area, Colour c)
{
    int n = 0;
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, H); ++y)
        for (int x = std::max(area.left, 0); x < std::min(area.right, W); ++x)
            n += At(b, x, y) == c;
    return n;
}

Colour Rgb(QRgb p)
{
    return MakeColour(qRed(p), qGreen(p), qBlue(p));
}

// A host window with one button at (20, 20), shown and active.
struct Host
{
    QWidget window;
    OstrelButton *button;
    QStringList events;

    explicit Host(ButtonStyle style = ButtonStyle::Gradient)
    {
        window.resize(300, 200);
        button = new OstrelButton(&window);
        button->setGeometry(20, 20, W, H);
        button->setButtonType(style);
        button->setCaption(QString());
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("host window not active");
        // Start without focus (no dotted frame) and with the cursor away from the button.
        if (QWidget *focused = QApplication::focusWidget())
            focused->clearFocus();
        QTest::mouseMove(&window, QPoint(290, 190));
    }

    void record()
    {
        auto add = [this](const char *name) { return [this, name] { events << QString::fromLatin1(name); }; };
        QObject::connect(button, &OstrelButton::Click, add("Click"));
        QObject::connect(button, &OstrelButton::MouseOver, add("MouseOver"));
        QObject::connect(button, &OstrelButton::MouseIn, add("MouseIn"));
        QObject::connect(button, &OstrelButton::MouseOut, add("MouseOut"));
        QObject::connect(button, &OstrelButton::MouseDown, [this](qint16 &, qint16 &, float &, float &) {
            events << QStringLiteral("MouseDown");
        });
        QObject::connect(button, &OstrelButton::MouseMove, [this](qint16 &, qint16 &, float &, float &) {
            events << QStringLiteral("MouseMove");
        });
        QObject::connect(button, &OstrelButton::MouseUp, [this](qint16 &, qint16 &, float &, float &) {
            events << QStringLiteral("MouseUp");
        });
        QObject::connect(button, &OstrelButton::KeyDown,
                         [this](qint16 &, qint16 &) { events << QStringLiteral("KeyDown"); });
        QObject::connect(button, &OstrelButton::KeyPress,
                         [this](qint16 &) { events << QStringLiteral("KeyPress"); });
        QObject::connect(button, &OstrelButton::KeyUp,
                         [this](qint16 &, qint16 &) { events << QStringLiteral("KeyUp"); });
    }
};

QImage SolidIcon(int w, int h, QRgb colour)
{
    QImage icon(w, h, QImage::Format_ARGB32);
    icon.fill(colour);
    return icon;
}

} // namespace

class TestOstrelButton : public QObject
{
    Q_OBJECT

private slots:
    void gradientRows_data();
    void gradientRows();
    void windowCorners_data();
    void windowCorners();
    void pressedGradientButton();
    void disabledCaptionIsEngraved();
    void pictureCompositing_data();
    void pictureCompositing();
    void iconOnMaskColour_data();
    void iconOnMaskColour();
    void defaultButtonDrawsBold();
    void unforcedRedrawPaintsOnce();
    void plainTypeShowsNoCaption_data();
    void plainTypeShowsNoCaption();
    void reliefBeyondShadow();
    void hoverUsesBackOver();

    void enterClickLeaveOrder();
    void spaceKeyClicks_data();
    void spaceKeyClicks();
    void accessKey_data();
    void accessKey();
    void checkBoxBehaviour();
    void pressWithoutClick_data();
    void pressWithoutClick();
    void doubleClickClicksOnce();
    void dragOutAndBack();
    void seeThroughShowsParent();
    void resourcePicturesAreIcons();

    void storeRoundTrip();
    void emptyStoreReadsPlainButton();
    void storedCodesOutsideTheirListsSurvive();
    void applyDefinitionsToWindow();
    void propertySideEffects();
};

void TestOstrelButton::gradientRows_data()
{
    QTest::addColumn<uint>("face");
    QTest::addColumn<bool>("soft");
    QTest::newRow("light grey") << uint(LightGrey) << false;
    QTest::newRow("blue") << uint(MakeColour(40, 90, 160)) << false;
    QTest::newRow("blue, soft bevel") << uint(MakeColour(40, 90, 160)) << true;
}

void TestOstrelButton::gradientRows()
{
    QFETCH(uint, face);
    QFETCH(bool, soft);
    Host host;
    OstrelButton &b = *host.button;
    b.setBackColor(face);
    b.setSoftBevel(soft);
    const Colour highlight = ShadeColour(face, 47, false, soft);
    const Colour shadow = ShadeColour(face, -64, false, soft);
    // Right of the light bands and inside both frames, each row is one gradient step.
    for (int y = 4; y <= H - 3; ++y)
        QCOMPARE(At(b, W - 5, y), ShadeColour(highlight, GradientStep(58, H, y), false, soft));
    QCOMPARE(At(b, W / 2, 0), ShadeColour(shadow, -50, false, soft));
    QCOMPARE(At(b, W / 2, H - 1), ShadeColour(shadow, -50, false, soft));
    QCOMPARE(At(b, W / 2, 1), ShadeColour(face, -9, false, soft));
    QCOMPARE(At(b, W / 2, 2), highlight);
    QCOMPARE(At(b, W / 2, 3), highlight);
    QCOMPARE(At(b, 3, H / 2), highlight);
    QCOMPARE(At(b, 4, H / 2), ShadeColour(highlight, GradientStep(58, H, H / 2), false, soft));
}

void TestOstrelButton::windowCorners_data()
{
    QTest::addColumn<ButtonStyle>("style");
    QTest::addColumn<QList<QPoint>>("missing");
    QTest::addColumn<QList<QPoint>>("present");
    const int r = W - 1;
    const int b = H - 1;
    QTest::newRow("gradient") << ButtonStyle::Gradient << QList<QPoint>{{r, 0}, {0, b}}
                              << QList<QPoint>{{0, 0}, {r, b}, {r - 1, 0}, {r, 1}, {1, b}, {0, b - 1}};
    QTest::newRow("rounded") << ButtonStyle::Rounded
                             << QList<QPoint>{{0, 0}, {1, 0}, {0, 1},     {r, 0}, {r - 1, 0}, {r, 1},
                                              {0, b}, {1, b}, {0, b - 1}, {r, b}, {r - 1, b}, {r, b - 1}}
                             << QList<QPoint>{{1, 1}, {2, 0}, {0, 2}, {r - 1, b - 1}, {r - 2, b}, {r, b - 2}};
    QTest::newRow("see-through") << ButtonStyle::SeeThrough << QList<QPoint>{}
                                 << QList<QPoint>{{0, 0}, {r, 0}, {0, b}, {r, b}};
}

void TestOstrelButton::windowCorners()
{
    QFETCH(ButtonStyle, style);
    QFETCH(QList<QPoint>, missing);
    QFETCH(QList<QPoint>, present);
    Host host(style);
    const QRegion region = host.button->mask().isEmpty() ? QRegion(host.button->rect()) : host.button->mask();
    for (const QPoint &p : missing)
        QVERIFY2(!region.contains(p), qPrintable(QStringLiteral("(%1, %2) kept").arg(p.x()).arg(p.y())));
    for (const QPoint &p : present)
        QVERIFY2(region.contains(p), qPrintable(QStringLiteral("(%1, %2) cut").arg(p.x()).arg(p.y())));
    // Switching to a plain style gives the whole rectangle back.
    host.button->setButtonType(ButtonStyle::Plain);
    QVERIFY(host.button->mask().isEmpty());
}

void TestOstrelButton::pressedGradientButton()
{
    Host host;
    OstrelButton &b = *host.button;
    b.setBackColor(MakeColour(90, 120, 200));
    b.setPictureNormal(ButtonPicture(SolidIcon(16, 16, qRgb(200, 0, 0))));
    b.setCaption(QStringLiteral("Go"));
    const ButtonPalette &pal = b.buttonPalette();
    const int px = b.contentLayout().pictureX;
    const int py = b.contentLayout().pictureY;
    QCOMPARE(At(b, px, py), MakeColour(200, 0, 0));

    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(W - 10, H - 10));
    QCOMPARE(b.lastDrawnState(), State::Pressed);
    QCOMPARE(At(b, W - 6, H / 2), ShadeColour(pal.face, -9, false, false)); // flat face
    QCOMPARE(At(b, 0, H / 2), ShadeColour(pal.shadow, -48, false, false));  // darker outer frame
    QCOMPARE(At(b, W / 2, 0), ShadeColour(pal.shadow, -48, false, false));
    for (int x = 2; x <= W - 3; ++x)
        QCOMPARE(At(b, x, H - 2), pal.highlight);
    for (int y = 2; y <= H - 2; ++y)
        QCOMPARE(At(b, W - 2, y), pal.highlight);
    // The picture moved one pixel right and down.
    QCOMPARE(At(b, px, py), ShadeColour(pal.face, -9, false, false));
    QCOMPARE(At(b, px + 1, py + 1), MakeColour(200, 0, 0));
    QCOMPARE(At(b, px + 16, py + 16), MakeColour(200, 0, 0));
    // The caption in its dark and light copies.
    const PixelRect area{0, 4, W - 4, H - 3};
    QVERIFY(CountColour(b, area, ShadeColour(pal.shadow, -50, false, false)) > 0);
    QVERIFY(CountColour(b, area, pal.highlight) > 0);

    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(W - 10, H - 10));
    QCOMPARE(b.lastDrawnState(), State::Normal);
}

void TestOstrelButton::disabledCaptionIsEngraved()
{
    Host host;
    OstrelButton &b = *host.button;
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(16);
    f.setBold(true);
    b.setFont(f);
    // A face that is no mix of the shadow and highlight derived from it (they clip apart).
    b.setBackColor(MakeColour(240, 100, 60));
    b.setCaption(QStringLiteral("HIM"));
    b.setEnabled(false);
    const ButtonPalette &pal = b.buttonPalette();
    // The copies are antialiased: where the dark copy's edge lies over the light one, the pixel
    // is a mix of the two colours.
    auto mixOfCopies = [&](Colour c) {
        const int dg = GreenOf(pal.highlight) - GreenOf(pal.shadow);
        const double k = double(GreenOf(c) - GreenOf(pal.shadow)) / dg;
        auto near = [k](int got, int from, int to) { return std::abs(got - (from + k * (to - from))) <= 3; };
        return k >= -0.01 && k <= 1.01 && near(RedOf(c), RedOf(pal.shadow), RedOf(pal.highlight)) &&
               near(BlueOf(c), BlueOf(pal.shadow), BlueOf(pal.highlight));
    };
    QVERIFY(!mixOfCopies(pal.face));
    const PixelRect t = b.contentLayout().caption;
    const PixelRect area{t.left, t.top, t.right + 1, t.bottom + 1};
    int shadowPixels = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            if (At(b, x, y) != pal.shadow)
                continue;
            ++shadowPixels;
            // The light copy lies one pixel down-right under the dark one: below-right of any
            // dark pixel is dark again, light, or a mix of both, never the face.
            const Colour below = At(b, x + 1, y + 1);
            QVERIFY2(mixOfCopies(below), qPrintable(QStringLiteral("(%1, %2)").arg(x + 1).arg(y + 1)));
        }
    }
    QVERIFY(shadowPixels > 30);
    QVERIFY(CountColour(b, area, pal.highlight) > 10);
    QCOMPARE(CountColour(b, area, pal.text), 0);
}

void TestOstrelButton::pictureCompositing_data()
{
    QTest::addColumn<bool>("greyscale");
    QTest::addColumn<bool>("useMask");
    QTest::newRow("colours, masked") << false << true;
    QTest::newRow("colours, mask off") << false << false;
    QTest::newRow("greyscale, masked") << true << true;
    QTest::newRow("greyscale, mask off") << true << false;
}

void TestOstrelButton::pictureCompositing()
{
    QFETCH(bool, greyscale);
    QFETCH(bool, useMask);
    // A 7 x 5 bitmap: rows of 7 pixels are 21 bytes, not a multiple of 4.
    QImage bitmap(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            bitmap.setPixel(x, y,
                            (x + y) % 3 == 0 ? qRgb(192, 192, 192) : qRgb(30 * x + 10, 40 * y, 200 - 20 * x));
    Host host(ButtonStyle::Plain);
    OstrelButton &b = *host.button;
    const Colour face = MakeColour(10, 200, 30);
    b.setBackColor(face);
    b.setColorScheme(ColourScheme::Properties);
    b.setUseGreyscale(greyscale);
    b.setUseMaskColor(useMask);
    b.setPictureNormal(ButtonPicture(bitmap));
    const int px = b.contentLayout().pictureX;
    const int py = b.contentLayout().pictureY;
    QCOMPARE(px, (W - 7) / 2);
    QCOMPARE(py, (H - 5) / 2);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            const QRgb p = bitmap.pixel(x, y);
            Colour expected = Rgb(p);
            if (useMask && expected == LightGrey) {
                expected = face;
            } else if (greyscale) {
                const int g = GreyLevel(qRed(p), qGreen(p), qBlue(p));
                expected = MakeColour(g, g, g);
            }
            QCOMPARE(At(b, px + x, py + y), expected);
        }
    }
    QCOMPARE(At(b, px + 7, py), face);
    QCOMPARE(At(b, px, py + 5), face);
}

void TestOstrelButton::iconOnMaskColour_data()
{
    QTest::addColumn<bool>("useMask");
    QTest::newRow("mask in use: transparent shows the face") << true;
    QTest::newRow("mask off: transparent shows the mask colour") << false;
}

void TestOstrelButton::iconOnMaskColour()
{
    QFETCH(bool, useMask);
    QImage icon(6, 4, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    icon.setPixel(1, 1, qRgba(0, 0, 255, 255));
    icon.setPixel(2, 1, qRgba(255, 0, 0, 200));
    icon.setPixel(3, 1, qRgba(255, 0, 0, 60)); // mostly transparent counts as transparent
    Host host(ButtonStyle::Plain);
    OstrelButton &b = *host.button;
    const Colour face = MakeColour(10, 200, 30);
    b.setBackColor(face);
    b.setColorScheme(ColourScheme::Properties);
    b.setMaskColor(MakeColour(255, 0, 255));
    b.setUseMaskColor(useMask);
    b.setPictureNormal(ButtonPicture(icon));
    const int px = b.contentLayout().pictureX;
    const int py = b.contentLayout().pictureY;
    const Colour background = useMask ? face : MakeColour(255, 0, 255);
    QCOMPARE(At(b, px + 1, py + 1), MakeColour(0, 0, 255));
    QCOMPARE(At(b, px + 2, py + 1), MakeColour(255, 0, 0));
    QCOMPARE(At(b, px + 3, py + 1), background);
    QCOMPARE(At(b, px, py), background);
    QCOMPARE(At(b, px + 5, py + 3), background);
}

void TestOstrelButton::defaultButtonDrawsBold()
{
    Host host;
    auto *other = new OstrelButton(&host.window);
    other->setGeometry(20, 100, W, H);
    other->show();
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPointSize(10);
    for (OstrelButton *b : {host.button, other}) {
        b->setFont(f);
        b->setBackColor(LightGrey);
        b->setForeColor(0);
        b->setCaption(QStringLiteral("Make Puzzle"));
    }
    host.button->setDefaultLook(true);
    const PixelRect all{0, 4, W, H - 2};
    const int bold = CountColour(*host.button, all, 0);
    const int normal = CountColour(*other, all, 0);
    QVERIFY2(bold > normal + normal / 8, qPrintable(QStringLiteral("%1 vs %2").arg(bold).arg(normal)));
    QVERIFY(!host.button->FontBold());
    QVERIFY(!host.button->Font().bold());
    PropertyStore store;
    host.button->WriteProperties(store);
    QVERIFY(!store.value(QStringLiteral("FONT"))->contains(QStringLiteral("Bold")));
    // The layout afterwards is the normal font's again.
    QCOMPARE(host.button->contentLayout(), other->contentLayout());
    host.button->setDefaultLook(false);
    QCOMPARE(host.button->surface(), other->surface());
}

void TestOstrelButton::unforcedRedrawPaintsOnce()
{
    Host host;
    OstrelButton &b = *host.button;
    const quint64 before = b.drawCount();
    b.Redraw(State::Pressed, false);
    b.Redraw(State::Pressed, false);
    QCOMPARE(b.drawCount(), before + 1);
    b.Redraw(State::Pressed, true);
    QCOMPARE(b.drawCount(), before + 2);
    b.setCaption(QStringLiteral("New")); // a changed caption always repaints
    QCOMPARE(b.drawCount(), before + 3);
    // Hidden buttons draw nothing, and the next forced redraw paints the current state.
    host.window.hide();
    b.Redraw(State::Normal, true);
    QCOMPARE(b.drawCount(), before + 3);
}

void TestOstrelButton::plainTypeShowsNoCaption_data()
{
    QTest::addColumn<ButtonStyle>("style");
    QTest::newRow("plain") << ButtonStyle::Plain;
    QTest::newRow("a stored code outside the list") << ButtonStyle(7);
}

void TestOstrelButton::plainTypeShowsNoCaption()
{
    QFETCH(ButtonStyle, style);
    Host host(style);
    OstrelButton &b = *host.button;
    b.setColorScheme(ColourScheme::Properties);
    b.setBackColor(MakeColour(1, 2, 3));
    b.setForeColor(MakeColour(250, 250, 250));
    b.setCaption(QStringLiteral("Hidden"));
    QCOMPARE(CountColour(b, {0, 0, W, H}, MakeColour(1, 2, 3)), W * H);
}

void TestOstrelButton::reliefBeyondShadow()
{
    // Stored effects above Shadow draw as Shadow, below None as None.
    auto surfaceWith = [](ReliefEffect effect) {
        Host host;
        host.button->setPictureNormal(ButtonPicture(SolidIcon(8, 8, qRgb(200, 0, 0))));
        host.button->setCaption(QStringLiteral("Go"));
        host.button->setSpecialEffect(effect);
        return host.button->surface();
    };
    const QImage none = surfaceWith(ReliefEffect::None);
    const QImage shadow = surfaceWith(ReliefEffect::Shadow);
    QVERIFY(shadow != none);
    QVERIFY(surfaceWith(ReliefEffect::Raised) != shadow);
    QCOMPARE(surfaceWith(ReliefEffect(7)), shadow);
    QCOMPARE(surfaceWith(ReliefEffect(-2)), none);
}

void TestOstrelButton::hoverUsesBackOver()
{
    Host host;
    OstrelButton &b = *host.button;
    b.setBackColor(MakeColour(100, 100, 100));
    b.setBackOver(MakeColour(20, 60, 200));
    QTest::mouseMove(&b, QPoint(30, 30));
    QVERIFY(b.isHovered());
    const Colour overFace = MakeColour(20, 60, 200);
    QCOMPARE(At(b, W - 6, H / 2), ShadeColour(overFace, 31, false, false)); // light
    QCOMPARE(At(b, W / 2, 0),
             ShadeColour(ShadeColour(overFace, -64, false, false), -50, false, false)); // frame
    QCOMPARE(b.BackColor(), MakeColour(100, 100, 100));
    QCOMPARE(b.buttonPalette().face, MakeColour(100, 100, 100));
}

void TestOstrelButton::enterClickLeaveOrder()
{
    Host host;
    host.record();
    OstrelButton &b = *host.button;
    const QPoint inside(30, 30);
    QTest::mouseMove(&b, inside);
    QCOMPARE(host.events, (QStringList{"MouseMove", "MouseIn", "MouseOver"}));
    QVERIFY(b.isHovered());
    QTest::mouseClick(&b, Qt::LeftButton, {}, inside);
    // Without movement during the click the hover flag stays set: the hovered look returns.
    QVERIFY(b.isHovered());
    QCOMPARE(b.lastDrawnState(), State::Normal);
    QTest::mouseMove(&host.window, QPoint(5, 5));
    QTRY_VERIFY(host.events.endsWith(QStringLiteral("MouseOut")));
    QCOMPARE(host.events,
             (QStringList{"MouseMove", "MouseIn", "MouseOver", "MouseDown", "MouseUp", "Click", "MouseOut"}));
    QVERIFY(!b.isHovered());
}

void TestOstrelButton::spaceKeyClicks_data()
{
    QTest::addColumn<bool>("zeroKeyCode");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("space clicks") << false << QStringList{"KeyDown", "KeyPress", "KeyUp", "Click"};
    QTest::newRow("KeyDown handler cancels the key") << true << QStringList{"KeyDown", "KeyPress", "KeyUp"};
}

void TestOstrelButton::spaceKeyClicks()
{
    QFETCH(bool, zeroKeyCode);
    QFETCH(QStringList, expected);
    Host host;
    host.record();
    OstrelButton &b = *host.button;
    if (zeroKeyCode)
        connect(&b, &OstrelButton::KeyDown, [](qint16 &keyCode, qint16 &) { keyCode = 0; });
    QTest::keyPress(&b, Qt::Key_Space);
    QCOMPARE(b.lastDrawnState(), zeroKeyCode ? State::Normal : State::Pressed);
    QTest::keyRelease(&b, Qt::Key_Space);
    QCOMPARE(b.lastDrawnState(), State::Normal);
    QCOMPARE(host.events, expected);
}

void TestOstrelButton::accessKey_data()
{
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("clicks");
    QTest::newRow("enabled") << true << 1;
    QTest::newRow("disabled") << false << 0;
}

void TestOstrelButton::accessKey()
{
    QFETCH(bool, enabled);
    QFETCH(int, clicks);
    Host host;
    OstrelButton &b = *host.button;
    int count = 0;
    connect(&b, &OstrelButton::Click, [&count] { ++count; });
    b.setCaption(QStringLiteral("&Print"));
    b.setEnabled(enabled);
    QCOMPARE(b.accessKey(), std::optional<QChar>(u'p'));
    QTest::keyClick(host.window.windowHandle(), Qt::Key_P, Qt::AltModifier);
    QCOMPARE(count, clicks);
    b.AccessKeyPress(); // the path Enter and Esc take
    QCOMPARE(count, 2 * clicks);
    b.setCaption(QStringLiteral("Save && Exit"));
    QCOMPARE(b.accessKey(), std::nullopt);
    QTest::keyClick(host.window.windowHandle(), Qt::Key_P, Qt::AltModifier);
    QCOMPARE(count, 2 * clicks);
}

void TestOstrelButton::checkBoxBehaviour()
{
    Host host;
    OstrelButton &b = *host.button;
    b.setCheckBoxBehaviour(true);
    QList<bool> valuesSeen;
    connect(&b, &OstrelButton::Click, [&] { valuesSeen << b.Value(); });
    const QPoint inside(30, 30);
    QTest::mouseClick(&b, Qt::LeftButton, {}, inside);
    QCOMPARE(valuesSeen, QList<bool>{true});
    QCOMPARE(b.lastDrawnState(), State::Pressed);
    QTest::mouseMove(&b, QPoint(40, 30)); // hovering keeps the pressed look
    QCOMPARE(b.lastDrawnState(), State::Pressed);
    QTest::keyClick(&b, Qt::Key_Space);
    QCOMPARE(valuesSeen, (QList<bool>{true, false}));
    QCOMPARE(b.lastDrawnState(), State::Normal);
    // Setting Value repaints only with the behaviour on.
    b.setCheckBoxBehaviour(false);
    const quint64 draws = b.drawCount();
    QSignalSpy notices(&b, &OstrelButton::PropertyChanged);
    b.setValue(true);
    QCOMPARE(b.drawCount(), draws);
    QCOMPARE(notices.size(), 1);
    QCOMPARE(notices.first().first().toString(), QStringLiteral("VALUE"));
}

void TestOstrelButton::pressWithoutClick_data()
{
    QTest::addColumn<int>("mouseButton");
    QTest::addColumn<bool>("handlerMakesSecondary");
    QTest::addColumn<State>("pressedState");
    QTest::newRow("MouseDown handler sets Button to 2") << int(Qt::LeftButton) << true << State::Normal;
    QTest::newRow("middle button looks pressed") << int(Qt::MiddleButton) << false << State::Pressed;
    QTest::newRow("secondary button") << int(Qt::RightButton) << false << State::Normal;
}

void TestOstrelButton::pressWithoutClick()
{
    QFETCH(int, mouseButton);
    QFETCH(bool, handlerMakesSecondary);
    QFETCH(State, pressedState);
    Host host;
    OstrelButton &b = *host.button;
    int clicks = 0;
    connect(&b, &OstrelButton::Click, [&clicks] { ++clicks; });
    if (handlerMakesSecondary)
        connect(&b, &OstrelButton::MouseDown, [](qint16 &button, qint16 &, float &, float &) { button = 2; });
    const QPoint inside(30, 30);
    b.Redraw(State::Normal, true);
    QTest::mousePress(&b, Qt::MouseButton(mouseButton), {}, inside);
    QCOMPARE(b.lastDrawnState(), pressedState);
    QTest::mouseRelease(&b, Qt::MouseButton(mouseButton), {}, inside);
    QCOMPARE(clicks, 0);
}

void TestOstrelButton::storeRoundTrip()
{
    QImage picture(5, 3, QImage::Format_RGB32);
    picture.fill(qRgb(1, 2, 3));
    QWidget window;
    auto *a = new OstrelButton(&window);
    a->setButtonType(ButtonStyle::Rounded);
    a->setCaption(QStringLiteral("  Make\r\n&Puzzle \"now\" "));
    a->setEnabled(false);
    QFont f(QStringLiteral("Liberation Serif"));
    f.setPointSizeF(11.5);
    f.setItalic(true);
    f.setUnderline(true);
    a->setFont(f);
    a->setColorScheme(ColourScheme::Parent);
    a->setShowFocusRect(false);
    a->setBackColor(SystemColour(15));
    a->setBackOver(MakeColour(1, 2, 3));
    a->setForeColor(MakeColour(4, 5, 6));
    a->setForeOver(MakeColour(7, 8, 9));
    a->setMaskColor(MakeColour(255, 0, 255));
    a->setMousePointer(PointerShape::Custom);
    a->setMouseIcon(ButtonPicture(SolidIcon(8, 8, qRgb(9, 9, 9))));
    a->setPictureNormal(ButtonPicture(picture));
    a->setPictureOver(ButtonPicture(SolidIcon(4, 4, qRgb(0, 255, 0))));
    a->setUseMaskColor(false);
    a->setSoftBevel(true);
    a->setPicturePosition(PicturePlace::Below);
    a->setUseGreyscale(true);
    a->setSpecialEffect(ReliefEffect::Sunken);
    a->setCheckBoxBehaviour(true);
    a->setValue(true);

    ButtonDefinitions defs;
    a->WriteProperties(defs.store(QStringLiteral("cmdA")));
    const PropertyStore &written = *defs.find(QStringLiteral("cmdA"));
    QStringList keys;
    for (const auto &entry : written.entries())
        keys << entry.first;
    QCOMPARE(keys, (QStringList{"btype", "tx",     "enab",  "font", "coltype", "focusr", "bcol", "bcolo",
                                "fcol",  "fcolo",  "mcol",  "mptr", "micon",   "picn",   "pich", "umcol",
                                "soft",  "picpos", "ngrey", "fx",   "check",   "value"}));
    QCOMPARE(*written.value(QStringLiteral("BCOL")), QString::number(qint32(SystemColour(15))));

    const ButtonDefinitions reread = ButtonDefinitions::parse(defs.serialize());
    auto *b = new OstrelButton(&window);
    b->ReadProperties(*reread.find(QStringLiteral("CMDA")));
    PropertyStore again;
    b->WriteProperties(again);
    QCOMPARE(again, written);
    QCOMPARE(b->Caption(), a->Caption());
    QVERIFY(!b->Enabled());
    QVERIFY(!b->isEnabled());
    QCOMPARE(b->accessKey(), std::optional<QChar>(u'p'));
    QCOMPARE(b->pictureBox(), QSize(5, 3));
    QCOMPARE(b->PictureNormal().image(), a->PictureNormal().image());
}

void TestOstrelButton::emptyStoreReadsPlainButton()
{
    QWidget window;
    window.resize(300, 200);
    auto *b = new OstrelButton(&window);
    b->setGeometry(10, 10, W, H);
    b->ReadProperties(PropertyStore());
    const QPalette pal = QGuiApplication::palette();
    auto colourOf = [](const QColor &c) { return MakeColour(c.red(), c.green(), c.blue()); };
    QCOMPARE(b->ButtonType(), ButtonStyle::Plain);
    QCOMPARE(b->ColorScheme(), ColourScheme::System);
    QCOMPARE(b->Caption(), QString());
    QVERIFY(b->Enabled());
    QVERIFY(b->ShowFocusRect());
    QCOMPARE(b->MaskColor(), LightGrey);
    QVERIFY(b->UseMaskColor());
    QCOMPARE(b->BackColor(), colourOf(pal.color(QPalette::Button)));
    QCOMPARE(b->BackOver(), b->BackColor());
    QCOMPARE(b->ForeColor(), colourOf(pal.color(QPalette::ButtonText)));
    QCOMPARE(b->ForeOver(), b->ForeColor());
    QCOMPARE(b->PicturePosition(), PicturePlace::Left);
    QVERIFY(!b->CheckBoxBehaviour());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(b->buttonPalette().face, colourOf(pal.color(QPalette::Button)));
    QCOMPARE(b->buttonPalette().highlight, colourOf(pal.color(QPalette::Light)));
    QCOMPARE(b->buttonPalette().shadow, colourOf(pal.color(QPalette::Dark)));
    QCOMPARE(CountColour(*b, {0, 0, W, H}, b->buttonPalette().face), W * H);
    QVERIFY(b->mask().isEmpty());
}

void TestOstrelButton::storedCodesOutsideTheirListsSurvive()
{
    const ButtonDefinitions defs =
        ButtonDefinitions::parse(QStringLiteral("[cmdOdd]\nbtype=7\ncoltype=9\nmptr=42\npicpos=12\nfx=-3\n"));
    QWidget window;
    auto *b = new OstrelButton(&window);
    b->ReadProperties(*defs.find(QStringLiteral("cmdOdd")));
    PropertyStore written;
    b->WriteProperties(written);
    const QStringList keys{"BTYPE", "COLTYPE", "MPTR", "PICPOS", "FX"};
    const QStringList values{"7", "9", "42", "12", "-3"};
    for (qsizetype i = 0; i < keys.size(); ++i)
        QCOMPARE(*written.value(keys[i]), values[i]);
}

void TestOstrelButton::applyDefinitionsToWindow()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frmTest.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("# test window\n[cmdQuit]\n_extentx=2990\nBTYPE=11\ntx=&Quit\ncoltype=3\n"
               "[cmdHelp]\nbtype=14\ntx=\"Help \\r\\nme\"\n[cmdMissing]\ntx=Nobody\n");
    file.close();
    QWidget window;
    auto *quit = new OstrelButton(&window);
    quit->setObjectName(QStringLiteral("cmdQuit"));
    auto *help = new OstrelButton(&window);
    help->setObjectName(QStringLiteral("cmdHelp"));
    auto *other = new OstrelButton(&window);
    other->setObjectName(QStringLiteral("cmdOther"));
    QCOMPARE(ApplyButtonDefinitions(&window, path), 2);
    QCOMPARE(quit->ButtonType(), ButtonStyle::SeeThrough);
    QCOMPARE(quit->Caption(), QStringLiteral("&Quit"));
    QCOMPARE(quit->ColorScheme(), ColourScheme::LightGrey);
    QCOMPARE(help->Caption(), QStringLiteral("Help \r\nme"));
    QCOMPARE(other->ButtonType(), ButtonStyle::Gradient); // untouched: still a newly placed button
    QCOMPARE(ApplyButtonDefinitions(&window, dir.filePath(QStringLiteral("none.txt"))), 0);
}

void TestOstrelButton::propertySideEffects()
{
    Host host;
    OstrelButton &b = *host.button;
    QSignalSpy notices(&b, &OstrelButton::PropertyChanged);
    b.setBackOver(MakeColour(5, 5, 5));
    b.setForeOver(MakeColour(6, 6, 6));
    // Setting the face or caption colour keeps the stored hover colours.
    b.setBackColor(MakeColour(9, 9, 9));
    b.setForeColor(MakeColour(3, 3, 3));
    QCOMPARE(b.BackOver(), MakeColour(5, 5, 5));
    QCOMPARE(b.ForeOver(), MakeColour(6, 6, 6));
    b.setFontBold(true); // font parts send no notice of their own
    QStringList keys;
    for (const auto &args : notices)
        keys << args.first().toString();
    QCOMPARE(keys, (QStringList{"BCOLO", "FCOLO", "BCOL", "FCOL"}));
    QCOMPARE(OstrelButton::Version(), QStringLiteral("w2005.08.15"));

    // Pictures: the over picture and the mask switches repaint only when they can show.
    const quint64 draws = b.drawCount();
    b.setPictureOver(ButtonPicture(SolidIcon(4, 4, qRgb(0, 255, 0))));
    b.setUseMaskColor(false);
    b.setUseGreyscale(true);
    QCOMPARE(b.drawCount(), draws);
    b.setPictureNormal(ButtonPicture(SolidIcon(4, 4, qRgb(255, 0, 0))));
    QCOMPARE(b.drawCount(), draws + 1);
    QCOMPARE(b.FontSize(), qint16(RoundHalfEven(b.Font().pointSizeF())));
}

void TestOstrelButton::doubleClickClicksOnce()
{
    Host host;
    host.record();
    const QPoint inside(30, 30);
    QTest::mouseMove(host.button, inside);
    host.events.clear();
    // The window system's order: press, release, double-click, release.
    QTest::mouseClick(host.button, Qt::LeftButton, {}, inside);
    QTest::mouseDClick(host.button, Qt::LeftButton, {}, inside);
    QTest::mouseRelease(host.button, Qt::LeftButton, {}, inside);
    QCOMPARE(host.events, (QStringList{"MouseDown", "MouseUp", "Click", "MouseDown", "MouseUp"}));
    QCOMPARE(host.button->lastDrawnState(), State::Normal);
}

void TestOstrelButton::dragOutAndBack()
{
    Host host;
    host.record();
    OstrelButton &b = *host.button;
    const QPoint inside(30, 30);
    QTest::mouseMove(&b, inside);
    QTest::mousePress(&b, Qt::LeftButton, {}, inside);
    QCOMPARE(b.lastDrawnState(), State::Pressed);
    // Moves while the primary button is held (QTest keeps it down between press and release,
    // but leaves the cursor where it was).
    auto heldMove = [&b](QPoint local) {
        QCursor::setPos(b.mapToGlobal(local));
        QTest::mouseMove(&b, local);
    };
    heldMove(QPoint(W + 40, 30)); // outside: normal look
    QCOMPARE(b.lastDrawnState(), State::Normal);
    QTRY_VERIFY(host.events.contains(QStringLiteral("MouseOut")));
    host.events.clear();
    heldMove(QPoint(35, 30));
    heldMove(QPoint(36, 31));
    // Back over it: pressed again, and MouseIn on every move while the timer stays stopped.
    QCOMPARE(b.lastDrawnState(), State::Pressed);
    QCOMPARE(host.events, (QStringList{"MouseMove", "MouseIn", "MouseMove", "MouseIn"}));
    QVERIFY(!b.isHovered());
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(36, 31));
    QCOMPARE(host.events.mid(4), (QStringList{"MouseUp", "Click"}));
}

void TestOstrelButton::seeThroughShowsParent()
{
    QWidget window;
    window.resize(300, 200);
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, QColor(12, 34, 56));
    window.setPalette(pal);
    auto *b = new OstrelButton(&window);
    b->setGeometry(20, 20, W, H);
    b->setColorScheme(ColourScheme::Properties);
    b->setBackColor(MakeColour(250, 0, 0));
    b->setButtonType(ButtonStyle::SeeThrough);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(At(*b, 2, 2), MakeColour(12, 34, 56));
    QCOMPARE(At(*b, W - 1, H - 1), MakeColour(12, 34, 56));
    // The snapshot follows the parent only when taken again.
    pal.setColor(QPalette::Window, QColor(200, 100, 0));
    window.setPalette(pal);
    QCOMPARE(At(*b, 2, 2), MakeColour(12, 34, 56));
    b->Refresh();
    QCOMPARE(At(*b, 2, 2), MakeColour(200, 100, 0));
}

void TestOstrelButton::resourcePicturesAreIcons()
{
    const ButtonPicture help = ButtonPicture::fromReference(QStringLiteral(":/pictures/help.png"));
    QVERIFY(!help.isNull());
    QVERIFY(help.isIcon());
    QCOMPARE(QSize(help.width(), help.height()), QSize(32, 32));
    QCOMPARE(help.toReference(), QStringLiteral(":/pictures/help.png"));
    QVERIFY(ButtonPicture::fromReference(QStringLiteral(":/pictures/none.png")).isNull());
    QImage opaque(3, 3, QImage::Format_RGB888);
    opaque.fill(Qt::red);
    const ButtonPicture bitmap(opaque);
    QVERIFY(!bitmap.isIcon());
    QVERIFY(bitmap.toReference().startsWith(QStringLiteral("data:image/png;base64,")));
    QCOMPARE(ButtonPicture::fromReference(bitmap.toReference()).image(), bitmap.image());
}

QTEST_MAIN(TestOstrelButton)
#include "tst_ostrel_button.moc"
