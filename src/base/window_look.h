#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QListWidget;
class QWidget;

namespace brivamo::WindowLook {

// What the lobby and the puzzle window share of their look: the yellows of their lists, their
// fonts and the lists and labels made from them.

constexpr QRgb LightYellow = qRgb(255, 255, 192); // &H00C0FFFF: the categories and the category name
constexpr QRgb Yellow = qRgb(255, 255, 128);      // &H0080FFFF: the words
constexpr QRgb DarkBlue = qRgb(0, 0, 64);         // &H00400000: the lobby's list captions
constexpr QRgb Navy = qRgb(0, 0, 128);            // &H00800000: the puzzle window's square-size texts
constexpr QRgb Black = qRgb(0, 0, 0);             // the text in the lists and on the puzzle window

// The windows were designed with "MS Sans Serif" and "Arial"; where they are missing, the fonts
// of the same metrics stand in.
QFont SansSerif(double points, bool bold = false);
QFont Arial(double points, bool bold = false, bool italic = false);

// A list box showing black text in `font` on `background`.
QListWidget *MakeList(QWidget *parent, const char *name, const QFont &font, QRgb background);

// A label showing its text in `font` and `colour`.
QLabel *MakeLabel(QWidget *parent, const char *name, const QFont &font, QRgb colour);

} // namespace brivamo::WindowLook
