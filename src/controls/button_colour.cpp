#include "controls/button_colour.h"

#include <cmath>

namespace brivamo {

int RoundHalfEven(double value)
{
    return int(std::nearbyint(value)); // the default rounding mode is to nearest, ties to even
}

Colour TranslateColour(Colour c, const SystemColourLookup &lookup)
{
    const Colour kind = c >> 24;
    if (kind == 0)
        return c;
    if (kind == 0x02) // palette-relative RGB: without a palette it is the plain RGB value
        return c & 0x00FFFFFFu;
    if (kind == 0x80 && (c & 0x00FFFF00u) == 0 && lookup) {
        if (const auto rgb = lookup(int(c & 255u)))
            return *rgb & 0x00FFFFFFu;
    }
    return 0;
}

Colour ShadeColour(Colour c, int n, bool proportional, bool softBevel)
{
    if (softBevel)
        n /= 2;
    int r = RedOf(c) + n;
    int g = GreenOf(c) + n;
    int b = BlueOf(c);
    b += proportional ? (b * n) / 192 : n;
    auto clamp = [n](int v) {
        if (n > 0 && v > 255)
            return 255;
        if (n < 0 && v < 0)
            return 0;
        return v;
    };
    return MakeColour(clamp(r), clamp(g), clamp(b));
}

int GradientStep(int k, int height, int row)
{
    if (height == 0)
        return 0;
    const float quotient = float(k) / float(height);
    const float product = quotient * float(row);
    return -RoundHalfEven(double(product));
}

int GreyLevel(int red, int green, int blue)
{
    const int a = RoundHalfEven(0.3 * red);
    return RoundHalfEven(a + 0.59 * green + 0.11 * blue);
}

ButtonPalette ComputePalette(const PaletteInputs &in, const SystemColourLookup &lookup)
{
    ButtonPalette p;
    auto shade = [&](Colour c, int n) { return ShadeColour(c, n, false, in.softBevel); };
    auto system = [&](int index) { return TranslateColour(SystemColour(index), lookup); };
    switch (in.colorScheme) {
    case ColourScheme::Properties:
        p.face = TranslateColour(in.backColor, lookup);
        p.text = TranslateColour(in.foreColor, lookup);
        p.overText = TranslateColour(in.foreOver, lookup);
        break;
    case ColourScheme::LightGrey:
        p.face = LightGrey;
        p.text = p.overText = 0;
        p.light = 14671839;
        p.highlight = 16777215;
        p.shadow = 8421504;
        break;
    case ColourScheme::Parent:
        p.face = TranslateColour(in.parentBack, lookup);
        p.text = p.overText = TranslateColour(in.parentText, lookup);
        break;
    case ColourScheme::System:
    default:
        p.face = system(SystemColourIndex::ButtonFace);
        p.text = p.overText = system(SystemColourIndex::ButtonText);
        p.light = system(SystemColourIndex::Light3D);
        p.highlight = system(SystemColourIndex::ButtonHighlight);
        p.shadow = system(SystemColourIndex::ButtonShadow);
        break;
    }
    if (in.colorScheme == ColourScheme::Properties || in.colorScheme == ColourScheme::Parent) {
        p.light = shade(p.face, 31);
        p.highlight = shade(p.face, 47);
        p.shadow = shade(p.face, -64);
    }
    p.mask = TranslateColour(in.maskColor, lookup);
    p.liftedFace = ShadeColour(p.face, 48, in.buttonType == ButtonStyle::Rounded, in.softBevel);
    return p;
}

} // namespace brivamo
