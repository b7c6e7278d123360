#pragma once

#include <QColor>

class QPainter;

namespace wordmoot {

// Draws the green board, its grid, the premium squares and, for a player,
// the rack slot outlines. The tiles are labels laid over this drawing.
void makegameboard(QPainter& painter, bool observer, const QColor& foreground);

} // namespace wordmoot
