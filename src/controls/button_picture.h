#pragma once

#include <QImage>
#include <QList>
#include <QString>

namespace brivamo {

// A picture shown on a button. An image with an alpha channel is an icon: its transparent
// parts are drawn in the button's mask colour. An opaque image is a bitmap whose pixels in
// the mask colour can be made transparent.
//
// A picture read from a file may come with copies of itself drawn for scaled screens, found
// beside it as "<name>@1.5x.<ext>" and "<name>@2x.<ext>". Sizes and positions stay those of the
// picture itself (logical pixels); a copy only gives each logical pixel finer device pixels.
class ButtonPicture
{
public:
    ButtonPicture() = default;
    // reference: where the picture came from, used when the picture is stored (optional).
    explicit ButtonPicture(const QImage &image, const QString &reference = QString());

    // Loads a picture from a file or resource path (":/pictures/help32.png") with the copies
    // for scaled screens beside it, or from a "data:image/png;base64,..." text. A null picture
    // when nothing could be read.
    static ButtonPicture fromReference(const QString &reference);

    bool isNull() const { return m_image.isNull(); }
    bool isIcon() const { return m_icon; }
    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    // RGB32 for bitmaps, ARGB32 (not premultiplied) for icons.
    const QImage &image() const { return m_image; }
    // The copies for scaled screens, in the same format, each exactly its device pixel ratio
    // times the picture's size and carrying that ratio; finest last.
    const QList<QImage> &sharperCopies() const { return m_sharper; }
    // What to draw on a surface with this device pixel ratio: the copy made for it, else the
    // finest copy that is still coarser than the surface, else the picture itself (ratio 1).
    const QImage &imageFor(qreal ratio) const;
    // The text stored for this picture: its reference, or the image itself as PNG data.
    QString toReference() const;

    bool operator==(const ButtonPicture &other) const
    {
        return m_reference == other.m_reference && m_image == other.m_image;
    }

private:
    void addSharperCopy(QImage copy, qreal ratio);

    QImage m_image;
    QList<QImage> m_sharper;
    QString m_reference;
    bool m_icon = false;
};

} // namespace brivamo
