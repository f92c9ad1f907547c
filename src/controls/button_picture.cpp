#include "controls/button_picture.h"

#include <QBuffer>
#include <QByteArray>

namespace brivamo {

namespace {
const QLatin1String DataPrefix("data:image/png;base64,");
}

ButtonPicture::ButtonPicture(const QImage &image, const QString &reference) : m_reference(reference)
{
    if (image.isNull())
        return;
    m_icon = image.hasAlphaChannel();
    m_image = image.convertToFormat(m_icon ? QImage::Format_ARGB32 : QImage::Format_RGB32);
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
    return ButtonPicture(image, ref);
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
