#pragma once

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>

// Shared routines that need no window.
namespace modStandard {

// a when a is not greater than b, else b.
double MinOf(double a, double b);
// a when a is not less than b, else b.
double MaxOf(double a, double b);

// Where TileBackground draws copies of a tile: x from 0 up to the surface's width inclusive in
// steps of the tile's width, likewise for y (so a width that is an exact multiple of the tile gets
// one more column, starting at the right edge, and a surface smaller than the tile still gets the
// copy at (0, 0)). An empty tile gives no positions.
QList<QPoint> tileOrigins(QSize surface, QSize tile);

// Kinds of link OpenLink opens.
constexpr int LinkEmail = 1;
constexpr int LinkWebPage = 2;

// The link OpenLink hands to the platform: "mailto:" plus the target for kind 1, "http://" plus
// the target for kind 2; an empty target means the maker's own address. Other kinds give empty text.
QString linkFor(int kind, const QString &target);

} // namespace modStandard
