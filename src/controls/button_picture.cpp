#include "controls/button_picture.h"

#include <QBuffer>
#include <QByteArray>

namespace brivamo {

namespace {
const QLatin1String DataPrefix("data:image/png;base64,");
// The scales whose copies are looked for beside a picture file, coarsest first.
constexpr qreal SharperRatios[] = {1.5, 2.0};
} // namespace

ButtonPicture::ButtonPicture(const QImage &image, const QString &reference) : m_reference(reference)
{
    if (image.isNull())
        return;
    m_icon = image.hasAlphaChannel();
    m_image = image.convertToFormat(m_icon ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    m_image.setDevicePixelRatio(1.0); // its pixels are logical pixels, whatever its file is called
}

ButtonPicture ButtonPicture::fromReference(const QString &reference)
{
    const QString ref = reference.trimmed();
    if (ref.isEmpty())
        return {};
    QImage image;
    if (ref.startsWith(DataPrefix, Qt::CaseInsensitive)) {
        const QByteArray bytes = QByteArray::fromBase64(ref.mid(DataPrefix.size()).toLatin1());
        image.loadFromData(bytes, "PNG");
    } else {
        image.load(ref);
    }
    if (image.isNull())
        return {};
    ButtonPicture picture(image, ref);
    const qsizetype dot = ref.lastIndexOf(u'.');
    if (!ref.startsWith(DataPrefix, Qt::CaseInsensitive) && dot > ref.lastIndexOf(u'/') + 1)
        for (qreal ratio : SharperRatios)
            picture.addSharperCopy(QImage(ref.left(dot) + QStringLiteral("@%1x").arg(ratio) + ref.mid(dot)),
                                   ratio);
    return picture;
}

void ButtonPicture::addSharperCopy(QImage copy, qreal ratio)
{
    // Only a copy of exactly the scaled size, and as transparent as the picture, is the same picture.
    const QSize size(qRound(m_image.width() * ratio), qRound(m_image.height() * ratio));
    if (copy.isNull() || copy.size() != size || copy.hasAlphaChannel() != m_icon)
        return;
    copy = copy.convertToFormat(m_image.format());
    copy.setDevicePixelRatio(ratio);
    m_sharper.append(copy);
}

const QImage &ButtonPicture::imageFor(qreal ratio) const
{
    const QImage *best = &m_image;
    for (const QImage &copy : m_sharper)
        if (copy.devicePixelRatio() <= ratio + 1e-6)
            best = &copy;
    return *best;
}

QString ButtonPicture::toReference() const
{
    if (isNull())
        return {};
    if (!m_reference.isEmpty())
        return m_reference;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    m_image.save(&buffer, "PNG");
    return DataPrefix + QString::fromLatin1(bytes.toBase64());
}

} // namespace brivamo
