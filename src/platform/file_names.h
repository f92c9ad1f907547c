#pragma once

#include <QByteArray>
#include <QString>

namespace brivamo {

// A file name or argument as text: UTF-8 when it is valid UTF-8, otherwise Latin-1 (the single-byte
// names older systems gave files). The word-list store finds such a file again by this text.
QString DecodeFileName(const QByteArray &raw);

} // namespace brivamo
