#pragma once

#include <QtGlobal>

namespace brivamo {

// The codes of the button's style properties. Their numbers are what the stored button
// definitions hold, so they never change. A stored number outside a list is kept as it is (and
// written back unchanged); the drawing then treats it as the comment of its type says.

// ButtonType ("BTYPE"). Any other value draws the plain style.
enum class ButtonStyle : qint32 {
    Plain = 2, // face and picture only, no caption or frame
    Rounded = 3,
    SeeThrough = 11,
    Gradient = 14,
};

// ColorScheme ("COLTYPE"): where the palette comes from. Any other value takes the system's
// button colours, as System does.
enum class ColourScheme : qint32 {
    System = 1,
    Properties = 2, // BackColor, BackOver, ForeColor and ForeOver
    LightGrey = 3,  // a fixed light-grey palette
    Parent = 4,     // the parent window's background and text colours
};

// PicturePosition ("PICPOS"): where the picture lies beside the caption. Any other value is laid
// out as Left.
enum class PicturePlace : qint32 {
    Left = 0,
    Right = 1,
    Above = 2,
    Below = 3,
    Behind = 4, // centred, with the caption drawn again over it
};

// SpecialEffect ("FX"): the relief under the caption and the picture. Values below None act as
// None, values above Shadow as Shadow (see EffectiveRelief).
enum class ReliefEffect : qint32 {
    None = 0,
    Raised = 1, // a darker copy down-right and a lighter copy up-left
    Sunken = 2, // a lighter copy down-right and a darker copy up-left
    Shadow = 3, // only the darker copy, down-right
};

constexpr ReliefEffect EffectiveRelief(ReliefEffect stored)
{
    if (qint32(stored) <= qint32(ReliefEffect::None))
        return ReliefEffect::None;
    if (qint32(stored) >= qint32(ReliefEffect::Shadow))
        return ReliefEffect::Shadow;
    return stored;
}

// MousePointer ("MPTR"): the cursor shown over the button. Any other value shows the default.
enum class PointerShape : qint16 {
    Default = 0,
    Arrow = 1,
    Cross = 2,
    IBeam = 3,
    Icon = 4, // shown as the arrow
    Size = 5, // shown as SizeAll
    SizeNeSw = 6,
    SizeNS = 7,
    SizeNwSe = 8,
    SizeWE = 9,
    UpArrow = 10,
    Wait = 11,
    Forbidden = 12,
    Busy = 13, // arrow and hourglass
    WhatsThis = 14,
    SizeAll = 15,
    PointingHand = 16,
    Custom = 99, // the MouseIcon picture
};

} // namespace brivamo
