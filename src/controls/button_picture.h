#pragma once

#include <QImage>
#include <QString>

namespace brivamo {

// A picture shown on a button. An image with an alpha channel is an icon: its transparent
// parts are drawn in the button's mask colour. An opaque image is a bitmap whose pixels in
// the mask colour can be made transparent.
class ButtonPicture
{
public:
    ButtonPicture() = default;
    // reference: where the picture came from, used when the picture is stored (optional).
    explicit ButtonPicture(const QImage &image, const QString &reference = QString());

    // Loads a picture from a file or resource path (":/pictures/help32.png") or from a
    // "data:image/png;base64,..." text. A null picture when nothing could be read.
    static ButtonPicture fromReference(const QString &reference);

    bool isNull() const { return m_image.isNull(); }
    bool isIcon() const { return m_icon; }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    // RGB32 for bitmaps, ARGB32 (not premultiplied) for icons.
    const QImage &image() const { return m_image; }
    // The text stored for this picture: its reference, or the image itself as PNG data.
    QString toReference() const;

    bool operator==(const ButtonPicture &other) const
    {
        return m_reference == other.m_reference && m_image == other.m_image;
    }

private:
    QImage m_image;
    QString m_reference;
    bool m_icon = false;
};

} // namespace brivamo
