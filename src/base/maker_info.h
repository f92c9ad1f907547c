#pragma once

#include <QString>

// The maker of the program, as the title window, the About text, the help topic about the maker and
// the e-mail links show it. Every contact detail lives here and only here.
namespace brivamo {

inline const QString MakerName = QStringLiteral("Ostrel Software");
inline const QString MakerAddressLine1 = QStringLiteral("418 Cedar Hollow Road");
inline const QString MakerAddressLine2 = QStringLiteral("Brookfield Falls, OR 97999");
inline const QString MakerEmail = QStringLiteral("support@ostrel.example");
// Shown as is; links add the "http://" scheme.
inline const QString MakerWebAddress = QStringLiteral("www.ostrel.example");
// The program's download file on the maker's web site, as a complete link.
inline const QString MakerDownloadAddress =
    QStringLiteral("http://www.ostrel.example/downloads/brivamo.tar.gz");
inline const QString MakerTelephone = QStringLiteral("(541) 555-0148");

// Legal notice of the version information; shown after the sign (C), character 169.
inline const QString LegalNotice = QStringLiteral(" 2024 Ostrel Software");

// The postal address as two lines joined with CR LF.
inline QString makerAddress()
{
    return MakerAddressLine1 + QStringLiteral("\r\n") + MakerAddressLine2;
}

} // namespace brivamo
