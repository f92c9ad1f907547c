#include "platform/file_names.h"

#include <QStringDecoder>

namespace brivamo {

QString DecodeFileName(const QByteArray &raw)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(raw);
    return utf8.hasError() ? QString::fromLatin1(raw) : text;
}

} // namespace brivamo
