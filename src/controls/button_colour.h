#pragma once

#include "controls/button_codes.h"

#include <QtGlobal>

#include <functional>
#include <optional>

namespace brivamo {

// A colour as the button keeps it: &H00BBGGRR (red in the low byte), or a reference to a
// system colour when the high bit is set (the low byte is then the system colour's index).
using Colour = quint32;

constexpr Colour SystemColourFlag = 0x80000000u;

constexpr Colour MakeColour(int red, int green, int blue)
{
    return Colour(red & 255) | (Colour(green & 255) << 8) | (Colour(blue & 255) << 16);
}
constexpr int RedOf(Colour c)
{
    return int(c & 255u);
}
constexpr int GreenOf(Colour c)
{
    return int((c >> 8) & 255u);
}
constexpr int BlueOf(Colour c)
{
    return int((c >> 16) & 255u);
}
constexpr Colour SystemColour(int index)
{
    return SystemColourFlag | Colour(index);
}

// Indices of the system colours the button refers to.
namespace SystemColourIndex {
constexpr int ButtonFace = 15;
constexpr int ButtonShadow = 16;
constexpr int GreyText = 17;
constexpr int ButtonText = 18;
constexpr int ButtonHighlight = 20;
constexpr int DarkShadow3D = 21;
constexpr int Light3D = 22;
constexpr int Count = 31;
} // namespace SystemColourIndex

// Answers the current RGB value of a system colour, or nothing for an unknown index.
using SystemColourLookup = std::function<std::optional<Colour>(int index)>;

constexpr Colour LightGrey = 12632256; // &H00C0C0C0, the default mask colour

// Fixed colours of the rounded style.
namespace RoundedColour {
constexpr Colour OuterFrame = 7552000;
constexpr Colour Corner = 8080656;
struct Rim
{
    Colour outline, bottom, top, second, sides;
};
constexpr Rim Hover{3257087, 38631, 13562879, 9231359, 7064575};
constexpr Rim Focus{15183500, 15696491, 16771022, 16242621, 15782325};
} // namespace RoundedColour

// Rounds to the nearest integer, halves to the even neighbour.
int RoundHalfEven(double value);

// An RGB value comes back unchanged; a system-colour reference becomes that colour's current
// value. Anything that cannot be translated yields black.
Colour TranslateColour(Colour c, const SystemColourLookup &lookup);

// Moves every component by n (blue scaled by blue / 192 in the proportional form), clamped to
// 0..255. softBevel halves n first.
Colour ShadeColour(Colour c, int n, bool proportional, bool softBevel);

// Shade step of gradient row i (1-based) for a gradient of strength k over height rows.
int GradientStep(int k, int height, int row);

// The grey level a picture pixel takes in the greyscale look.
int GreyLevel(int red, int green, int blue);

struct ButtonPalette
{
    Colour face = 0;
    Colour light = 0;
    Colour highlight = 0;
    Colour shadow = 0;
    Colour text = 0;
    Colour overText = 0;
    Colour mask = 0;
    Colour liftedFace = 0;
    bool operator==(const ButtonPalette &) const = default;
};

struct PaletteInputs
{
    ColourScheme colorScheme = ColourScheme::Properties;
    ButtonStyle buttonType = ButtonStyle::Gradient;
    bool softBevel = false;
    Colour backColor = 0;
    Colour foreColor = 0;
    Colour foreOver = 0;
    Colour maskColor = LightGrey;
    Colour parentBack = 0; // ColourScheme::Parent: the parent window's background
    Colour parentText = 0; // ColourScheme::Parent: the parent window's text colour
};

ButtonPalette ComputePalette(const PaletteInputs &in, const SystemColourLookup &lookup);

} // namespace brivamo
