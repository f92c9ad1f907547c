// Repainting of OstrelButton: every look of every style, the caption and the pictures. The
// surface is made at the screen's device pixel ratio. Shapes are given in logical pixels and
// written straight into the surface's device pixels, so frames and bevels stay exact at any
// ratio; only text goes through QPainter, antialiased like every other label.
#include "controls/ostrel_button.h"

#include <QPainter>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>

namespace brivamo {

namespace {

constexpr QRgb PixelOf(Colour c)
{
    return qRgb(RedOf(c), GreenOf(c), BlueOf(c));
}

constexpr Colour ColourOfPixel(QRgb p)
{
    return MakeColour(qRed(p), qGreen(p), qBlue(p));
}

// Device edge of a logical coordinate. Logical pixel x covers the device columns from
// DeviceEdge(x) up to DeviceEdge(x + 1), so neighbouring shapes meet without gaps or overlaps
// and a one-pixel line is one logical pixel wide (two device pixels at 2x).
int DeviceEdge(const QImage &surface, int v)
{
    return qFloor(v * surface.devicePixelRatio() + 0.5);
}

// The caption as it is shown: line breaks unified, "&&" shown as one "&", and the characters
// that follow a single "&" remembered for underlining (a trailing "&" shows nothing).
struct ShownCaption
{
    QString text;
    QList<int> underlined;
};

ShownCaption ShowCaption(const QString &caption)
{
    QString source = caption;
    source.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    source.replace(u'\r', u'\n');
    ShownCaption shown;
    shown.text.reserve(source.size());
    for (qsizetype i = 0; i < source.size(); ++i) {
        QChar ch = source.at(i);
        if (ch == u'&') {
            if (++i == source.size())
                break;
            ch = source.at(i);
            if (ch != u'&')
                shown.underlined.append(int(shown.text.size()));
        }
        // Line breaks become line separators, as the measuring of the layout treats them.
        shown.text.append(ch == u'\n' ? QChar(QChar::LineSeparator) : ch);
    }
    return shown;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Primitives

void OstrelButton::Fill(int x, int y, int w, int h, Colour c)
{
    if (w <= 0 || h <= 0)
        return;
    const int left = std::max(DeviceEdge(m_surface, x), 0);
    const int top = std::max(DeviceEdge(m_surface, y), 0);
    const int right = std::min(DeviceEdge(m_surface, x + w), m_surface.width());
    const int bottom = std::min(DeviceEdge(m_surface, y + h), m_surface.height());
    if (left >= right || top >= bottom)
        return;
    const QRgb pixel = PixelOf(c);
    for (int row = top; row < bottom; ++row) {
        auto *line = reinterpret_cast<QRgb *>(m_surface.scanLine(row));
        std::fill(line + left, line + right, pixel);
    }
}

void OstrelButton::Frame(int x, int y, int w, int h, Colour c)
{
    if (w <= 0 || h <= 0)
        return;
    Fill(x, y, w, 1, c);
    Fill(x, y + h - 1, w, 1, c);
    Fill(x, y, 1, h, c);
    Fill(x + w - 1, y, 1, h, c);
}

void OstrelButton::Pixel(int x, int y, Colour c)
{
    Fill(x, y, 1, 1, c);
}

void OstrelButton::Line(int x1, int y1, int x2, int y2, Colour c)
{
    // The end point is not drawn.
    if (y1 == y2) {
        if (x2 > x1)
            Fill(x1, y1, x2 - x1, 1, c);
        else if (x2 < x1)
            Fill(x2 + 1, y1, x1 - x2, 1, c);
        return;
    }
    if (x1 == x2) {
        if (y2 > y1)
            Fill(x1, y1, 1, y2 - y1, c);
        else
            Fill(x1, y2 + 1, 1, y1 - y2, c);
        return;
    }
    const int dx = std::abs(x2 - x1);
    const int dy = std::abs(y2 - y1);
    const int steps = std::max(dx, dy);
    for (int i = 0; i < steps; ++i)
        Pixel(x1 + (x2 - x1) * i / steps, y1 + (y2 - y1) * i / steps, c);
}

void OstrelButton::Bevel(Colour c1, Colour c2)
{
    const int w = m_width;
    const int h = m_height;
    Line(0, h - 1, 0, 0, c1);
    Line(0, 0, w - 1, 0, c1);
    Line(w - 1, 0, w - 1, h - 1, c2);
    Line(w - 1, h - 1, -1, h - 1, c2);
}

void OstrelButton::Gradient(Colour c0, int k, bool topDown, bool proportional)
{
    for (int i = 1; i <= m_height; ++i) {
        const int y = topDown ? i : m_height - i;
        Line(0, y, m_width, y, ShadeColour(c0, GradientStep(k, m_height, i), proportional));
    }
}

void OstrelButton::DrawFocus()
{
    if (!m_showFocusRect || !m_focus)
        return;
    // A dotted frame that inverts every other pixel, like the system's focus rectangle.
    const PixelRect r = m_focusFrame;
    if (r.width() <= 0 || r.height() <= 0)
        return;
    auto dot = [this](int x, int y) {
        if ((x + y) % 2 != 0)
            return;
        const int right = std::min(DeviceEdge(m_surface, x + 1), m_surface.width());
        const int bottom = std::min(DeviceEdge(m_surface, y + 1), m_surface.height());
        for (int row = std::max(DeviceEdge(m_surface, y), 0); row < bottom; ++row) {
            auto *line = reinterpret_cast<QRgb *>(m_surface.scanLine(row));
            for (int col = std::max(DeviceEdge(m_surface, x), 0); col < right; ++col)
                line[col] = (line[col] ^ 0x00FFFFFFu) | 0xFF000000u;
        }
    };
    for (int x = r.left; x < r.right; ++x) {
        dot(x, r.top);
        if (r.bottom - 1 != r.top)
            dot(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        dot(r.left, y);
        if (r.right - 1 != r.left)
            dot(r.right - 1, y);
    }
}

void OstrelButton::DrawText(const PixelRect &rect, Colour colour)
{
    if (m_caption.isEmpty() || rect.width() <= 0 || rect.height() <= 0)
        return;
    const ShownCaption shown = ShowCaption(m_caption);
    const QFont font = captionFont();

    // The rectangle was measured to the pixel; a little slack on both sides (centre unchanged)
    // keeps fractional glyph advances from wrapping a line the measuring kept whole.
    constexpr int slack = 3;
    const qreal lineWidth = rect.width() + 2 * slack;
    QTextLayout layout(shown.text, font, &m_surface);
    QTextOption option(Qt::AlignHCenter);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const qreal leading = QFontMetricsF(font, &m_surface).leading();
    qreal y = -leading;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        y += leading;
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();

    const QPointF origin(rect.left - slack, rect.top);
    const QColor pen(RedOf(colour), GreenOf(colour), BlueOf(colour));
    {
        QPainter painter(&m_surface);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setPen(pen);
        painter.setClipRect(QRect(0, 0, m_width, m_height));
        layout.draw(&painter, origin);
    }

    // Access-key underlines are drawn here rather than by the text engine, which puts them at
    // the font's underline position where they touch the foot of bold letters. They sit at
    // least one logical pixel below the baseline, in whole device pixels.
    const qreal ratio = m_surface.devicePixelRatio();
    const QFontMetricsF metrics(font, &m_surface);
    const int thickness = std::max(1, qRound(metrics.lineWidth() * ratio));
    const int gap = std::max(int(std::ceil(ratio)), qRound(metrics.underlinePos() * ratio - thickness / 2.0));
    const QRgb pixel = PixelOf(colour);
    for (int index : shown.underlined) {
        const QTextLine line = layout.lineForTextPosition(index);
        if (!line.isValid())
            continue;
        const int top = qRound((origin.y() + line.y() + line.ascent()) * ratio) + gap;
        const int left = std::max(qRound((origin.x() + line.cursorToX(index)) * ratio), 0);
        const int right =
            std::min(qRound((origin.x() + line.cursorToX(index + 1)) * ratio), m_surface.width());
        const int bottom = std::min(top + thickness, m_surface.height());
        if (left >= right)
            continue;
        for (int row = std::max(top, 0); row < bottom; ++row) {
            auto *scan = reinterpret_cast<QRgb *>(m_surface.scanLine(row));
            std::fill(scan + left, scan + right, pixel);
        }
    }
}

void OstrelButton::DrawSnapshot()
{
    if (m_snapshot.isNull())
        return;
    if (m_snapshot.devicePixelRatio() != m_surface.devicePixelRatio()) {
        // Taken on a screen with another scale: show it at its logical size until the next one.
        QPainter painter(&m_surface);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QPointF(0, 0), m_snapshot);
        return;
    }
    const int w = std::min(m_surface.width(), m_snapshot.width());
    const int h = std::min(m_surface.height(), m_snapshot.height());
    for (int y = 0; y < h; ++y)
        std::copy_n(reinterpret_cast<const QRgb *>(m_snapshot.constScanLine(y)), w,
                    reinterpret_cast<QRgb *>(m_surface.scanLine(y)));
}

// ---------------------------------------------------------------------------------------------
// Redraw

void OstrelButton::Redraw(DrawState state, bool force)
{
    if (m_checkBoxBehaviour && m_value)
        state = DrawState::Pressed;
    if (!force && m_caption == m_lastCaption && state == m_lastState)
        return;
    if (m_width != width() || m_height != height() ||
        (!m_surface.isNull() && m_surface.devicePixelRatio() != devicePixelRatioF()))
        HandleResize(false); // sized while hidden (Qt delivers the resize only when shown), or rescaled
    if (m_height == 0 || !m_shown || m_surface.isNull())
        return;
    m_lastState = state;
    m_lastCaption = m_caption;
    m_captionDrawn = false;

    // With the colour properties a hovered button takes every derived colour from BackOver.
    const bool hoverColours = m_hover && m_colorScheme == ColourScheme::Properties;
    if (hoverColours)
        m_palette = paletteFor(m_backOver);

    Fill(0, 0, m_width, m_height, m_palette.face);
    switch (m_buttonType) {
    case ButtonStyle::Gradient:
        DrawGradientStyle(state);
        break;
    case ButtonStyle::SeeThrough:
        DrawSeeThroughStyle(state);
        break;
    case ButtonStyle::Rounded:
        DrawRoundedStyle(state);
        break;
    case ButtonStyle::Plain:
    default:
        DrawPicture(!m_enabled ? PictureMode::Disabled
                               : (state == DrawState::Normal ? PictureMode::Normal : PictureMode::Pressed));
        break;
    }

    if (hoverColours)
        ComputePalette();
    ++m_drawCount;
    update();
}

void OstrelButton::FrameSet()
{
    const int w = m_width;
    const int h = m_height;
    Frame(0, 0, w, h, ShadeColour(m_palette.shadow, -50));
    Frame(1, 1, w - 2, h - 2, ShadeColour(m_palette.face, -9));
    Fill(2, 2, w - 4, 2, m_palette.highlight);
    Fill(2, 4, 2, h - 6, m_palette.highlight);
}

void OstrelButton::BeginDefaultCaption()
{
    // The default button shows its caption in bold without touching the Font property. The
    // picture is placed from the same bold layout, so that it keeps its distance from the text.
    if (!m_defaultLook)
        return;
    m_boldCaption = true;
    LayoutContent();
}

void OstrelButton::EndDefaultCaption()
{
    if (!m_boldCaption)
        return;
    m_boldCaption = false;
    LayoutContent();
}

void OstrelButton::DrawGradientStyle(DrawState state)
{
    const int w = m_width;
    const int h = m_height;
    if (!m_enabled) {
        Gradient(m_palette.highlight, 58, true, false);
        FrameSet();
        DrawCaption(CaptionContent::Disabled);
        DrawPicture(PictureMode::Disabled);
    } else if (state == DrawState::Normal) {
        if (m_hover)
            Fill(0, 0, w, h, m_palette.light);
        else
            Gradient(m_palette.highlight, 58, true, false);
        BeginDefaultCaption();
        DrawCaption(m_hover ? CaptionContent::Hovered : CaptionContent::Normal);
        FrameSet();
        DrawFocus();
        DrawPicture(PictureMode::Normal);
        EndDefaultCaption();
    } else {
        Fill(1, 1, w, h, ShadeColour(m_palette.face, -9));
        Frame(0, 0, w, h, ShadeColour(m_palette.shadow, -48));
        Line(2, h - 2, w - 2, h - 2, m_palette.highlight);
        Line(w - 2, 2, w - 2, h - 1, m_palette.highlight);
        DrawCaption(CaptionContent::Pressed);
        DrawFocus();
        DrawPicture(PictureMode::Pressed);
    }
}

void OstrelButton::DrawSeeThroughStyle(DrawState state)
{
    DrawSnapshot();
    if (!m_enabled) {
        DrawCaption(CaptionContent::Disabled);
        DrawPicture(PictureMode::Disabled);
    } else if (state == DrawState::Normal) {
        DrawCaption(m_hover ? CaptionContent::Hovered : CaptionContent::Normal);
        if (m_hover)
            Bevel(m_palette.highlight, m_palette.shadow);
        DrawFocus();
        DrawPicture(PictureMode::Normal);
    } else {
        Bevel(m_palette.shadow, m_palette.highlight);
        DrawCaption(CaptionContent::Pressed);
        DrawFocus();
        DrawPicture(PictureMode::Pressed);
    }
}

void OstrelButton::DrawRim(const RoundedColour::Rim &rim)
{
    const int w = m_width;
    const int h = m_height;
    Frame(1, 2, w - 2, h - 4, rim.outline);
    Line(2, h - 2, w - 2, h - 2, rim.bottom);
    Line(2, 1, w - 2, 1, rim.top);
    Line(1, 2, w - 1, 2, rim.second);
    Line(2, 3, 2, h - 3, rim.sides);
    Line(w - 3, 3, w - 3, h - 3, rim.sides);
}

void OstrelButton::DrawRoundedStyle(DrawState state)
{
    const int w = m_width;
    const int h = m_height;
    const Colour lifted = m_palette.liftedFace;
    auto shadeP = [this](Colour c, int n) { return ShadeColour(c, n, true); };
    auto corners = [&](Colour c) {
        Pixel(1, 1, c);
        Pixel(1, h - 2, c);
        Pixel(w - 2, 1, c);
        Pixel(w - 2, h - 2, c);
    };
    auto outline = [&] {
        Frame(0, 0, w, h, RoundedColour::OuterFrame);
        corners(RoundedColour::Corner);
    };

    if (!m_enabled) {
        Fill(0, 0, w, h, shadeP(lifted, -24));
        DrawCaption(CaptionContent::DisabledRounded);
        Frame(0, 0, w, h, shadeP(lifted, -84));
        corners(shadeP(lifted, -72));
        DrawPicture(PictureMode::Disabled);
    } else if (state == DrawState::Normal) {
        Gradient(lifted, 25, true, true);
        DrawCaption(m_hover ? CaptionContent::Hovered : CaptionContent::Normal);
        outline();
        if (m_hover) {
            DrawRim(RoundedColour::Hover);
        } else if ((m_focus || m_defaultLook) && m_showFocusRect) {
            DrawRim(RoundedColour::Focus);
        } else {
            Line(2, h - 2, w - 2, h - 2, shadeP(lifted, -48));
            Line(1, h - 3, w - 2, h - 3, shadeP(lifted, -32));
            Line(w - 2, 2, w - 2, h - 2, shadeP(lifted, -36));
            Line(w - 3, 3, w - 3, h - 3, shadeP(lifted, -24));
            Line(2, 1, w - 2, 1, shadeP(lifted, 16));
            Line(1, 2, w - 2, 2, shadeP(lifted, 10));
            Line(1, 2, 1, h - 2, shadeP(lifted, -5));
            Line(2, 3, 2, h - 3, shadeP(lifted, -10));
        }
        DrawPicture(PictureMode::Normal);
    } else {
        const Colour start = shadeP(lifted, -32);
        Gradient(start, 25, false, true);
        DrawCaption(CaptionContent::PressedRounded);
        outline();
        Line(2, h - 2, w - 2, h - 2, shadeP(start, 16));
        Line(1, h - 3, w - 2, h - 3, shadeP(start, 10));
        Line(w - 2, 2, w - 2, h - 2, shadeP(start, 5));
        Line(w - 3, 3, w - 3, h - 3, lifted);
        Line(2, 1, w - 2, 1, shadeP(start, -32));
        Line(1, 2, w - 2, 2, shadeP(start, -24));
        Line(1, 2, 1, h - 2, shadeP(start, -32));
        Line(2, 2, 2, h - 2, shadeP(start, -22));
        DrawPicture(PictureMode::Pressed);
    }
}

// ---------------------------------------------------------------------------------------------
// Caption

void OstrelButton::DrawCaption(CaptionContent content)
{
    m_lastContentState = content;
    m_captionDrawn = true;
    const PixelRect t = m_layout.caption;
    const PixelRect p = m_layout.pressedCaption;
    const ButtonPalette &pal = m_palette;

    const ReliefEffect relief = EffectiveRelief(m_specialEffect);
    auto effect = [&](const PixelRect &r) {
        if (relief == ReliefEffect::None)
            return;
        const Colour base = m_buttonType == ButtonStyle::Gradient ? pal.liftedFace : pal.face;
        const int a = relief == ReliefEffect::Sunken ? 40 : -40;
        DrawText(r.translated(1, 1), ShadeColour(base, a));
        if (relief != ReliefEffect::Shadow)
            DrawText(r.translated(-1, -1), ShadeColour(base, -a));
    };

    switch (content) {
    case CaptionContent::Normal:
        effect(t);
        DrawText(t, pal.text);
        break;
    case CaptionContent::Hovered:
        effect(t);
        DrawText(t, pal.overText);
        break;
    case CaptionContent::PressedRounded:
        effect(p);
        DrawText(p, pal.overText);
        break;
    case CaptionContent::Disabled:
        DrawText(p, pal.highlight);
        DrawText(t, pal.shadow);
        break;
    case CaptionContent::DisabledRounded:
        DrawText(t, ShadeColour(pal.liftedFace, -104, true));
        break;
    case CaptionContent::Pressed:
        DrawText(p, ShadeColour(pal.shadow, -50));
        DrawText(t, pal.highlight);
        break;
    }
}

// ---------------------------------------------------------------------------------------------
// Pictures

void OstrelButton::DrawPicture(PictureMode mode)
{
    if (m_pictureNormal.isNull())
        return;
    const int px = m_layout.pictureX;
    const int py = m_layout.pictureY;
    const int pw = m_pictureWidth;
    const int ph = m_pictureHeight;
    switch (mode) {
    case PictureMode::Normal:
        if (!m_hover) {
            PictureEffect(0, m_pictureNormal);
            CompositePicture(px, py, pw, ph, m_pictureNormal, std::nullopt, false, m_useGreyscale);
        } else {
            const ButtonPicture &pic = m_pictureOver.isNull() ? m_pictureNormal : m_pictureOver;
            PictureEffect(0, pic);
            CompositePicture(px, py, pw, ph, pic, std::nullopt, false, false);
        }
        break;
    case PictureMode::Pressed:
        if (m_pictureOver.isNull()) {
            PictureEffect(1, m_pictureNormal);
            CompositePicture(px + 1, py + 1, pw, ph, m_pictureNormal, std::nullopt, false, false);
        } else {
            CompositePicture(px + 1, py + 1, pw, ph, m_pictureOver, std::nullopt, false, false);
        }
        break;
    case PictureMode::Disabled:
        if (m_buttonType == ButtonStyle::Rounded) {
            CompositePicture(px + 1, py + 1, pw, ph, m_pictureNormal, std::nullopt, false, true);
        } else {
            CompositePicture(px + 1, py + 1, pw, ph, m_pictureNormal, m_palette.highlight, true, false);
            CompositePicture(px, py, pw, ph, m_pictureNormal, m_palette.shadow, true, false);
        }
        break;
    }
    // A picture behind the caption must not cover it: draw the caption again on top, exactly
    // as it was drawn in this repaint (plain styles draw no caption at all).
    if (m_picturePosition == PicturePlace::Behind && m_captionDrawn)
        DrawCaption(m_lastContentState);
}

void OstrelButton::PictureEffect(int offset, const ButtonPicture &picture)
{
    const ReliefEffect relief = EffectiveRelief(m_specialEffect);
    if (relief == ReliefEffect::None)
        return;
    const Colour base = m_buttonType == ButtonStyle::Rounded ? m_palette.liftedFace : m_palette.face;
    const int e = relief == ReliefEffect::Sunken ? 40 : -40;
    const int px = m_layout.pictureX;
    const int py = m_layout.pictureY;
    CompositePicture(px + 1 + offset, py + 1 + offset, m_pictureWidth, m_pictureHeight, picture,
                     ShadeColour(base, e), false, false);
    if (relief != ReliefEffect::Shadow)
        CompositePicture(px - 1 + offset, py - 1 + offset, m_pictureWidth, m_pictureHeight, picture,
                         ShadeColour(base, -e), false, false);
}

void OstrelButton::CompositePicture(int x, int y, int w, int h, const ButtonPicture &picture,
                                    std::optional<Colour> solid, bool darkOnly, bool greyscale)
{
    if (w <= 0 || h <= 0 || picture.isNull() || m_surface.isNull())
        return;
    // The copy of the picture drawn for this screen's scale where there is one; its pixels are
    // then the surface's own device pixels instead of enlarged logical ones.
    const QImage &image = picture.imageFor(m_surface.devicePixelRatio());
    const qreal fineness = image.devicePixelRatio(); // picture pixels to a logical pixel
    const bool icon = picture.isIcon();
    const QRgb maskPixel = PixelOf(m_palette.mask);
    const bool keyed = m_useMaskColor;
    const Colour transparent = m_palette.mask;
    const QRgb solidPixel = solid ? PixelOf(*solid) : 0;

    // Picture pixel i of a box starting at logical v covers the device pixels from edge(v, i) up
    // to edge(v, i + 1): the pixels of its logical pixel for the picture itself, exactly one
    // device pixel for a copy made for this scale. Nothing leaves the box.
    const qreal step = m_surface.devicePixelRatio() / fineness;
    auto edge = [fineness, step](int v, int i) { return qFloor((v * fineness + i) * step + 0.5); };
    const int boxRight = std::min(DeviceEdge(m_surface, x + w), m_surface.width());
    const int boxBottom = std::min(DeviceEdge(m_surface, y + h), m_surface.height());
    auto put = [&](int col, int row, QRgb value) {
        const int right = std::min(edge(x, col + 1), boxRight);
        const int bottom = std::min(edge(y, row + 1), boxBottom);
        const int left = std::max(edge(x, col), 0);
        for (int line = std::max(edge(y, row), 0); line < bottom; ++line) {
            auto *scan = reinterpret_cast<QRgb *>(m_surface.scanLine(line));
            for (int c = left; c < right; ++c)
                scan[c] = value;
        }
    };
    const int rows = qCeil(h * fineness - 1e-6);
    const int cols = qCeil(w * fineness - 1e-6);
    for (int row = 0; row < rows; ++row) {
        const bool inImage = row < image.height();
        if (!icon && !inImage)
            break; // a bitmap smaller than the box covers only its own pixels
        const QRgb *source = inImage ? reinterpret_cast<const QRgb *>(image.constScanLine(row)) : nullptr;
        for (int col = 0; col < cols; ++col) {
            QRgb pixel;
            if (icon) {
                // Icons are drawn on the mask colour; their transparency is one bit deep.
                const bool opaque = inImage && col < image.width() && qAlpha(source[col]) >= 128;
                pixel = opaque ? source[col] : maskPixel;
            } else {
                if (col >= image.width())
                    break;
                pixel = source[col];
            }
            const Colour c = ColourOfPixel(pixel);
            if (keyed && c == transparent)
                continue;
            if (solid) {
                if (!darkOnly || qRed(pixel) + qGreen(pixel) + qBlue(pixel) <= 384)
                    put(col, row, solidPixel);
            } else if (greyscale) {
                const int grey = GreyLevel(qRed(pixel), qGreen(pixel), qBlue(pixel));
                put(col, row, qRgb(grey, grey, grey));
            } else {
                put(col, row, pixel | 0xFF000000u);
            }
        }
    }
}

void OstrelButton::TakeBackgroundSnapshot()
{
    QWidget *parent = parentWidget();
    if (!parent || width() <= 0 || height() <= 0)
        return;
    m_resizeSuspended = true;
    const qreal ratio = devicePixelRatioF();
    QImage snap(qFloor(width() * ratio + 0.5), qFloor(height() * ratio + 0.5), QImage::Format_RGB32);
    snap.fill(PixelOf(m_palette.face));
    snap.setDevicePixelRatio(ratio);
    // Render the parent's area under the button with the button itself painting nothing.
    m_snapshotInProgress = true;
    parent->render(&snap, QPoint(0, 0), QRegion(geometry()),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    m_snapshotInProgress = false;
    m_snapshot = snap.convertToFormat(QImage::Format_RGB32);
    m_resizeSuspended = false;
}

} // namespace brivamo
