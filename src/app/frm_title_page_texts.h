#pragma once

#include <QString>

// Texts of the title window and the new-user notice, composed without any window.
namespace brivamo {

// A version number as the digit pattern "##" prints it: plain decimal, and nothing at all for 0.
QString formatVersionPart(int number);

// "Version w" followed by major.minor.revision, each part formatted as above.
QString versionLabelText(int major, int minor, int revision);

// The sign (C), character 169, followed by the legal notice.
QString copyrightLabelText(const QString &legalNotice);

// The notice's text: the greeting naming the program, a blank line, then the overview text.
QString welcomeText(const QString &appTitle, const QString &overview);

// The contact labels' tooltips, with the spaces they are shown with.
QString emailTooltip(const QString &makerName);
QString webTooltip(const QString &makerName);

} // namespace brivamo
