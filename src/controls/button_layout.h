#pragma once

#include "controls/button_codes.h"

#include <functional>
#include <utility>
#include <vector>

namespace brivamo {

// A rectangle by its edges; right and bottom lie just outside it.
struct PixelRect
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    PixelRect translated(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
    bool operator==(const PixelRect &) const = default;
};

// Rectangle of the dotted focus frame for a button of the given style and client size.
PixelRect FocusFrameFor(ButtonStyle style, int width, int height);

// Pixels cut from the button's outline (the corners of the rounded and gradient styles).
std::vector<std::pair<int, int>> RegionCutPixels(ButtonStyle style, int width, int height);

struct LayoutInputs
{
    int width = 0;
    int height = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    PicturePlace picturePosition = PicturePlace::Left;
    bool captionBlank = true; // the caption holds nothing but spaces
    bool hasPicture = false;  // a normal or an over picture is set
};

struct ContentLayout
{
    PixelRect caption;        // T: where the caption is drawn in the normal look
    PixelRect pressedCaption; // P: T moved one pixel right and down
    int pictureX = 0;
    int pictureY = 0;
    bool operator==(const ContentLayout &) const = default;
};

// Measures the caption wrapped into a working rectangle: returns the rectangle that keeps the
// working rectangle's left and top and ends at the wrapped text's right and bottom.
using CaptionMeasure = std::function<PixelRect(const PixelRect &working)>;

// Places caption and picture. A stored picture position outside the list is laid out as Left.
ContentLayout LayoutContent(const LayoutInputs &in, const CaptionMeasure &measure,
                            const ContentLayout &previous);

} // namespace brivamo
