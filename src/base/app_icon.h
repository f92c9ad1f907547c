#pragma once

#include <QIcon>

namespace brivamo {

// The program's icon for its windows: the picture at 64 and at 128 pixels, so that a scaled
// screen or a large icon view gets one drawn at its size rather than an enlarged small one.
QIcon AppIcon();

} // namespace brivamo
