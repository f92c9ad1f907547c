// Window-free parts of the button: colour arithmetic, palettes, geometry, access keys and the
// stored-definition format.
#include "controls/button_colour.h"
#include "controls/button_layout.h"
#include "controls/button_store.h"

#include <QtTest>

#include <set>

using namespace brivamo;

namespace {

std::optional<Colour> FakeSystemColour(int index)
{
    if (index == 25 || index < 0 || index >= SystemColourIndex::Count)
        return std::nullopt;
    return MakeColour(index, index * 2, index * 3); // a distinct value per index
}

// Measures a caption as if it were 40 x 13 pixels, wrapped to 20 pixels when narrower.
PixelRect FakeMeasure(const PixelRect &working)
{
    const bool wraps = working.width() < 40;
    return {working.left, working.top, working.left + (wraps ? 20 : 40), working.top + (wraps ? 26 : 13)};
}

} // namespace

class TestButtonCore : public QObject
{
    Q_OBJECT

private slots:
    void shadeColour_data();
    void shadeColour();
    void translateColour_data();
    void translateColour();
    void gradientStep_data();
    void gradientStep();
    void greyLevel_data();
    void greyLevel();
    void paletteSchemes();
    void focusFrameAndRegion_data();
    void focusFrameAndRegion();
    void layoutContent_data();
    void layoutContent();
    void accessKey_data();
    void accessKey();
    void storedValues();
    void definitionsRoundTrip();
    void definitionsParsing();
};

void TestButtonCore::shadeColour_data()
{
    QTest::addColumn<uint>("colour");
    QTest::addColumn<int>("n");
    QTest::addColumn<bool>("proportional");
    QTest::addColumn<bool>("soft");
    QTest::addColumn<uint>("expected");
    QTest::newRow("light grey +48") << 12632256u << 48 << false << false << 15790320u;
    QTest::newRow("light grey +48 soft") << 12632256u << 48 << false << true << 14211288u;
    QTest::newRow("proportional scales blue only")
        << uint(MakeColour(200, 100, 50)) << 48 << true << false << uint(MakeColour(248, 148, 62));
    QTest::newRow("proportional equals plain at blue 192")
        << uint(MakeColour(10, 20, 192)) << -30 << true << false << uint(MakeColour(0, 0, 162));
    QTest::newRow("white stays white") << 0xFFFFFFu << 31 << false << false << 0xFFFFFFu;
    QTest::newRow("black stays black") << 0u << -64 << false << false << 0u;
    QTest::newRow("soft halves toward zero (-9 -> -4)")
        << uint(MakeColour(100, 100, 100)) << -9 << false << true << uint(MakeColour(96, 96, 96));
    QTest::newRow("soft halves toward zero (47 -> 23)")
        << uint(MakeColour(100, 100, 100)) << 47 << false << true << uint(MakeColour(123, 123, 123));
    QTest::newRow("clamps each component")
        << uint(MakeColour(250, 10, 128)) << 10 << false << false << uint(MakeColour(255, 20, 138));
    QTest::newRow("proportional negative truncates")
        << uint(MakeColour(50, 50, 100)) << -25 << true << false << uint(MakeColour(25, 25, 87));
}

void TestButtonCore::shadeColour()
{
    QFETCH(uint, colour);
    QFETCH(int, n);
    QFETCH(bool, proportional);
    QFETCH(bool, soft);
    QFETCH(uint, expected);
    QCOMPARE(ShadeColour(colour, n, proportional, soft), Colour(expected));
}

void TestButtonCore::translateColour_data()
{
    QTest::addColumn<uint>("colour");
    QTest::addColumn<uint>("expected");
    QTest::newRow("rgb unchanged") << 0x0000FFFFu << 0x0000FFFFu;
    QTest::newRow("button face") << uint(SystemColour(15)) << uint(MakeColour(15, 30, 45));
    QTest::newRow("button text") << uint(SystemColour(18)) << uint(MakeColour(18, 36, 54));
    QTest::newRow("unknown system index") << uint(SystemColour(25)) << 0u;
    QTest::newRow("system index out of range") << 0x80000100u << 0u;
    QTest::newRow("unknown kind") << 0x05123456u << 0u;
    QTest::newRow("palette-relative rgb") << 0x02123456u << 0x00123456u;
}

void TestButtonCore::translateColour()
{
    QFETCH(uint, colour);
    QFETCH(uint, expected);
    QCOMPARE(TranslateColour(colour, FakeSystemColour), Colour(expected));
}

void TestButtonCore::gradientStep_data()
{
    QTest::addColumn<int>("k");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("expected");
    QTest::newRow("58/63 first row") << 58 << 63 << 1 << -1;
    QTest::newRow("58/63 row 31") << 58 << 63 << 31 << -29;
    QTest::newRow("58/63 row 32") << 58 << 63 << 32 << -29;
    QTest::newRow("58/63 last row") << 58 << 63 << 63 << -58;
    QTest::newRow("half rounds to even (0.5)") << 1 << 2 << 1 << 0;
    QTest::newRow("half rounds to even (1.5)") << 1 << 2 << 3 << -2;
    QTest::newRow("half rounds to even (2.5)") << 25 << 40 << 4 << -2;
    QTest::newRow("single precision product") << 58 << 40 << 20 << -29;
}

void TestButtonCore::gradientStep()
{
    QFETCH(int, k);
    QFETCH(int, height);
    QFETCH(int, row);
    QFETCH(int, expected);
    QCOMPARE(GradientStep(k, height, row), expected);
}

void TestButtonCore::greyLevel_data()
{
    QTest::addColumn<int>("r");
    QTest::addColumn<int>("g");
    QTest::addColumn<int>("b");
    QTest::addColumn<int>("expected");
    QTest::newRow("white: both roundings go to even") << 255 << 255 << 255 << 254;
    QTest::newRow("red 5: 1.5 rounds up to 2") << 5 << 0 << 0 << 2;
    QTest::newRow("light grey") << 192 << 192 << 192 << 192;
    QTest::newRow("mixed") << 200 << 100 << 50 << 124;
    QTest::newRow("blue") << 0 << 0 << 255 << 28;
    QTest::newRow("red rounded before the sum") << 15 << 25 << 35 << 23;
}

void TestButtonCore::greyLevel()
{
    QFETCH(int, r);
    QFETCH(int, g);
    QFETCH(int, b);
    QFETCH(int, expected);
    QCOMPARE(GreyLevel(r, g, b), expected);
}

void TestButtonCore::paletteSchemes()
{
    PaletteInputs in;
    in.backColor = MakeColour(100, 150, 200);
    in.foreColor = MakeColour(1, 2, 3);
    in.foreOver = SystemColour(18);
    in.maskColor = SystemColour(15);
    in.parentBack = MakeColour(10, 20, 30);
    in.parentText = MakeColour(40, 50, 60);

    in.colorScheme = ColourScheme::Properties;
    ButtonPalette p = ComputePalette(in, FakeSystemColour);
    QCOMPARE(p.face, MakeColour(100, 150, 200));
    QCOMPARE(p.text, MakeColour(1, 2, 3));
    QCOMPARE(p.overText, MakeColour(18, 36, 54));
    QCOMPARE(p.light, MakeColour(131, 181, 231));
    QCOMPARE(p.highlight, MakeColour(147, 197, 247));
    QCOMPARE(p.shadow, MakeColour(36, 86, 136));
    QCOMPARE(p.mask, MakeColour(15, 30, 45));
    QCOMPARE(p.liftedFace, MakeColour(148, 198, 248));

    in.buttonType = ButtonStyle::Rounded; // lifted face becomes proportional
    QCOMPARE(ComputePalette(in, FakeSystemColour).liftedFace, MakeColour(148, 198, 250));

    in.softBevel = true; // every shade step halves
    p = ComputePalette(in, FakeSystemColour);
    QCOMPARE(p.light, MakeColour(115, 165, 215));
    QCOMPARE(p.shadow, MakeColour(68, 118, 168));
    in.softBevel = false;

    in.colorScheme = ColourScheme::LightGrey; // the colour properties have no effect
    p = ComputePalette(in, FakeSystemColour);
    QCOMPARE(p.face, LightGrey);
    QCOMPARE(p.text, Colour(0));
    QCOMPARE(p.overText, Colour(0));
    QCOMPARE(p.light, Colour(14671839));
    QCOMPARE(p.highlight, Colour(16777215));
    QCOMPARE(p.shadow, Colour(8421504));

    in.colorScheme = ColourScheme::Parent;
    p = ComputePalette(in, FakeSystemColour);
    QCOMPARE(p.face, MakeColour(10, 20, 30));
    QCOMPARE(p.text, MakeColour(40, 50, 60));
    QCOMPARE(p.overText, MakeColour(40, 50, 60));
    QCOMPARE(p.highlight, MakeColour(57, 67, 77));

    // The system's colours, also for stored codes outside the list.
    for (ColourScheme scheme : {ColourScheme(0), ColourScheme::System, ColourScheme(5)}) {
        in.colorScheme = scheme;
        p = ComputePalette(in, FakeSystemColour);
        QCOMPARE(p.face, MakeColour(15, 30, 45));
        QCOMPARE(p.text, MakeColour(18, 36, 54));
        QCOMPARE(p.overText, MakeColour(18, 36, 54));
        QCOMPARE(p.light, MakeColour(22, 44, 66));
        QCOMPARE(p.highlight, MakeColour(20, 40, 60));
        QCOMPARE(p.shadow, MakeColour(16, 32, 48));
    }
}

void TestButtonCore::focusFrameAndRegion_data()
{
    QTest::addColumn<ButtonStyle>("style");
    QTest::addColumn<PixelRect>("frame");
    QTest::addColumn<int>("cuts");
    QTest::newRow("rounded") << ButtonStyle::Rounded << PixelRect{4, 4, 96, 26} << 12;
    QTest::newRow("see-through") << ButtonStyle::SeeThrough << PixelRect{3, 3, 97, 27} << 0;
    QTest::newRow("gradient") << ButtonStyle::Gradient << PixelRect{6, 6, 96, 26} << 2;
    QTest::newRow("plain") << ButtonStyle::Plain << PixelRect{0, 0, 100, 30} << 0;
}

void TestButtonCore::focusFrameAndRegion()
{
    QFETCH(ButtonStyle, style);
    QFETCH(PixelRect, frame);
    QFETCH(int, cuts);
    QCOMPARE(FocusFrameFor(style, 100, 30), frame);
    const auto pixels = RegionCutPixels(style, 100, 30);
    const std::set<std::pair<int, int>> distinct(pixels.begin(), pixels.end());
    QCOMPARE(int(distinct.size()), cuts);
    for (const auto &[x, y] : distinct) {
        // Every cut pixel touches a corner of the button.
        QVERIFY(x <= 1 || x >= 98);
        QVERIFY(y <= 1 || y >= 28);
    }
}

void TestButtonCore::layoutContent_data()
{
    QTest::addColumn<PicturePlace>("position");
    QTest::addColumn<bool>("blank");
    QTest::addColumn<PixelRect>("caption");
    QTest::addColumn<QPoint>("picture");
    // Button 120 x 60 with a 32 x 16 picture; the caption measures 40 x 13.
    QTest::newRow("left") << PicturePlace::Left << false << PixelRect{58, 25, 98, 38} << QPoint(20, 22);
    QTest::newRow("right") << PicturePlace::Right << false << PixelRect{24, 25, 64, 38} << QPoint(70, 22);
    QTest::newRow("above") << PicturePlace::Above << false << PixelRect{42, 33, 82, 46} << QPoint(44, 15);
    QTest::newRow("below") << PicturePlace::Below << false << PixelRect{42, 15, 82, 28} << QPoint(44, 30);
    QTest::newRow("behind") << PicturePlace::Behind << false << PixelRect{42, 24, 82, 37} << QPoint(44, 22);
    QTest::newRow("blank caption centres the picture")
        << PicturePlace::Left << true << PixelRect{58, 25, 98, 38} << QPoint(44, 22);
    QTest::newRow("out of range acts as left")
        << PicturePlace(9) << false << PixelRect{58, 25, 98, 38} << QPoint(20, 22);
}

void TestButtonCore::layoutContent()
{
    QFETCH(PicturePlace, position);
    QFETCH(bool, blank);
    QFETCH(PixelRect, caption);
    QFETCH(QPoint, picture);
    LayoutInputs in{120, 60, 32, 16, position, blank, true};
    const ContentLayout out = LayoutContent(in, FakeMeasure, ContentLayout());
    QCOMPARE(out.caption, caption);
    QCOMPARE(out.pressedCaption, caption.translated(1, 1));
    QCOMPARE(QPoint(out.pictureX, out.pictureY), picture);
}

void TestButtonCore::accessKey_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::newRow("plain") << "&Print"
                           << "p";
    QTest::newRow("lower case") << "E&XIT"
                                << "x";
    QTest::newRow("literal ampersand only") << "Save && Exit"
                                            << "";
    QTest::newRow("after a literal ampersand") << "Print && E&xit"
                                               << "x";
    QTest::newRow("only two ampersands examined") << "A&&B&&C&D"
                                                  << "";
    QTest::newRow("ampersand last") << "Print&"
                                    << "";
    QTest::newRow("single character") << "&"
                                      << "";
    QTest::newRow("none") << "Quit"
                          << "";
    QTest::newRow("second ampersand last") << "A&&B&"
                                           << "";
}

void TestButtonCore::accessKey()
{
    QFETCH(QString, caption);
    QFETCH(QString, key);
    const auto found = AccessKeyOf(caption);
    QCOMPARE(found ? QString(*found) : QString(), key);
}

void TestButtonCore::storedValues()
{
    QCOMPARE(ParseStoredInt(QStringLiteral("12632256")), std::optional<qint32>(12632256));
    QCOMPARE(ParseStoredInt(QStringLiteral("&H00C0C0C0&")), std::optional<qint32>(12632256));
    QCOMPARE(ParseStoredInt(QStringLiteral("0x8000000F")), std::optional<qint32>(qint32(0x8000000Fu)));
    QCOMPARE(ParseStoredInt(QStringLiteral("-2147483633")), std::optional<qint32>(qint32(0x8000000Fu)));
    QCOMPARE(ParseStoredInt(QStringLiteral("2147483663")), std::optional<qint32>(qint32(0x8000000Fu)));
    QCOMPARE(ParseStoredInt(QStringLiteral("twelve")), std::nullopt);
    QCOMPARE(ParseStoredBool(QStringLiteral("TRUE")), std::optional<bool>(true));
    QCOMPARE(ParseStoredBool(QStringLiteral("-1")), std::optional<bool>(true));
    QCOMPARE(ParseStoredBool(QStringLiteral("0")), std::optional<bool>(false));
    QCOMPARE(ParseStoredBool(QStringLiteral("maybe")), std::nullopt);

    PropertyStore store;
    store.write(QStringLiteral("BTYPE"), QStringLiteral("oops"));
    QCOMPARE(store.readInt(QStringLiteral("btype"), 2), 2); // unreadable values fall back
    store.write(QStringLiteral("btype"), QStringLiteral("14"));
    QCOMPARE(store.entries().size(), 1);
    QCOMPARE(store.entries().first().first, QStringLiteral("btype"));
    QCOMPARE(store.readInt(QStringLiteral("BType"), 2), 14);

    const FontSpec font{QStringLiteral("MS Sans Serif"), 8.25, true, false, true, false};
    QCOMPARE(FormatFontSpec(font), QStringLiteral("MS Sans Serif,8.25,Bold,Underline"));
    QCOMPARE(ParseFontSpec(FormatFontSpec(font)), std::optional<FontSpec>(font));
    QCOMPARE(ParseFontSpec(QStringLiteral("Arial,0")), std::nullopt);
    QCOMPARE(ParseFontSpec(QStringLiteral("Arial,9,Heavy")), std::nullopt);
}

void TestButtonCore::definitionsRoundTrip()
{
    ButtonDefinitions defs;
    PropertyStore &a = defs.store(QStringLiteral("cmdQuit"));
    a.write(QStringLiteral("_extentx"), QStringLiteral("2990"));
    a.write(QStringLiteral("TX"), QStringLiteral("&Quit"));
    a.write(QStringLiteral("FONT"), QStringLiteral("Arial,9"));
    PropertyStore &b = defs.store(QStringLiteral("cmdMakePuzzle"));
    b.write(QStringLiteral("tx"), QStringLiteral("  Make\r\nPuzzle \"now\" \\ \t "));
    b.write(QStringLiteral("picn"), QString());
    b.write(QStringLiteral("odd"), QStringLiteral("\"quoted\""));

    const QString text = defs.serialize();
    QVERIFY(text.contains(QStringLiteral("[cmdQuit]\n_extentx=2990\ntx=&Quit\nfont=Arial,9\n")));
    QVERIFY(text.contains(QStringLiteral("tx=\"  Make\\r\\nPuzzle \\\"now\\\" \\\\ \\t \"\n")));
    QStringList problems;
    const ButtonDefinitions again = ButtonDefinitions::parse(text, &problems);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
    QCOMPARE(again, defs);
    QCOMPARE(again.serialize(), text);
}

void TestButtonCore::definitionsParsing()
{
    const QString text = QStringLiteral("# the lobby's buttons\r\n"
                                        "stray=1\r\n"
                                        "[CmdHelp]\r\n"
                                        "  BTYPE = 11  \r\n"
                                        "; a comment\r\n"
                                        "tx = Help \r\n"
                                        "no equals sign\r\n"
                                        "[broken\r\n"
                                        "tx=lost\r\n"
                                        "[cmdHelp]\r\n"
                                        "tx=\"Help \"\r\n");
    QStringList problems;
    const ButtonDefinitions defs = ButtonDefinitions::parse(text, &problems);
    QCOMPARE(problems.size(), 4); // stray, no equals sign, [broken, tx=lost
    QCOMPARE(defs.controlNames(), QStringList{QStringLiteral("CmdHelp")});
    const PropertyStore *help = defs.find(QStringLiteral("cmdhelp"));
    QVERIFY(help);
    QCOMPARE(help->readInt(QStringLiteral("btype"), 0), 11);
    QCOMPARE(help->readString(QStringLiteral("TX"), QString()), QStringLiteral("Help ")); // later entry wins
    QVERIFY(!defs.find(QStringLiteral("broken")));
    QVERIFY(!ButtonDefinitions::load(QStringLiteral("/nonexistent/buttons.txt")));
}

QTEST_GUILESS_MAIN(TestButtonCore)
#include "tst_button_core.moc"
