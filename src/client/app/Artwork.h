#pragma once

#include <QImage>

namespace wordmoot::artwork {

// The 186 x 37 logo shown in the main window.
QImage logo();
// The 32 x 32 window icon.
QImage icon();

} // namespace wordmoot::artwork
