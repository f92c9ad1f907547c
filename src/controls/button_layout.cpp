#include "controls/button_layout.h"

namespace brivamo {

PixelRect FocusFrameFor(ButtonStyle style, int width, int height)
{
    const PixelRect client{0, 0, width, height};
    auto shrunk = [&](int by) { return PixelRect{by, by, width - by, height - by}; };
    switch (style) {
    case ButtonStyle::Rounded:
        return shrunk(4);
    case ButtonStyle::SeeThrough:
        return shrunk(3);
    case ButtonStyle::Gradient:
        return shrunk(5).translated(1, 1);
    default:
        return client;
    }
}

std::vector<std::pair<int, int>> RegionCutPixels(ButtonStyle style, int width, int height)
{
    const int w = width;
    const int h = height;
    if (style == ButtonStyle::Rounded)
        return {{0, 0},     {1, 0},     {0, 1},     {w - 1, 0},     {w - 2, 0},     {w - 1, 1},
                {0, h - 1}, {1, h - 1}, {0, h - 2}, {w - 1, h - 1}, {w - 2, h - 1}, {w - 1, h - 2}};
    if (style == ButtonStyle::Gradient)
        return {{w - 1, 0}, {0, h - 1}};
    return {};
}

ContentLayout LayoutContent(const LayoutInputs &in, const CaptionMeasure &measure,
                            const ContentLayout &previous)
{
    const int w = in.width;
    const int h = in.height;
    const int pw = in.pictureWidth;
    const int ph = in.pictureHeight;
    PicturePlace pp = in.picturePosition;
    if (qint32(pp) < qint32(PicturePlace::Left) || qint32(pp) > qint32(PicturePlace::Behind))
        pp = PicturePlace::Left;

    PixelRect working;
    switch (pp) {
    case PicturePlace::Left:
        working = {pw + 4, 4, w - 8, h - 8};
        break;
    case PicturePlace::Right:
        working = {4, 4, w - 8 - pw, h - 8};
        break;
    case PicturePlace::Above:
        working = {4, ph + 4, w - 8, h - 8};
        break;
    case PicturePlace::Below:
        working = {4, 4, w - 8, h - 8 - ph};
        break;
    default:
        working = {4, 1, w - 8, h - 4};
        break;
    }

    PixelRect t = measure(working);
    int dx = (w - t.right) / 2;
    int dy = (h - t.bottom) / 2;
    if (pp == PicturePlace::Right)
        dx = (w - t.right - pw - 4) / 2;
    else if (pp == PicturePlace::Below)
        dy = (h - t.bottom - ph - 4) / 2;
    t = t.translated(dx, dy);

    ContentLayout out;
    out.caption = t;
    out.pressedCaption = t.translated(1, 1);
    out.pictureX = previous.pictureX;
    out.pictureY = previous.pictureY;
    if (in.hasPicture) {
        if (!in.captionBlank && pp != PicturePlace::Behind) {
            switch (pp) {
            case PicturePlace::Left:
                out.pictureX = t.left - pw - 6;
                out.pictureY = (h - ph) / 2;
                break;
            case PicturePlace::Right:
                out.pictureX = t.right + 6;
                out.pictureY = (h - ph) / 2;
                break;
            case PicturePlace::Above:
                out.pictureX = (w - pw) / 2;
                out.pictureY = t.top - ph - 2;
                break;
            default:
                out.pictureX = (w - pw) / 2;
                out.pictureY = t.bottom + 2;
                break;
            }
        } else {
            out.pictureX = (w - pw) / 2;
            out.pictureY = (h - ph) / 2;
        }
    }
    return out;
}

} // namespace brivamo
