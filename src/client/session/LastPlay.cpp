#include "client/session/LastPlay.h"

#include <algorithm>

namespace wordmoot {

void LastPlay::cellFilled(QPoint cell) {
    if (closed_)
        cells_.clear();
    closed_ = false;
    if (std::find(cells_.begin(), cells_.end(), cell) == cells_.end())
        cells_.push_back(cell);
}

void LastPlay::cellEmptied(QPoint cell) {
    std::erase(cells_, cell);
}

bool LastPlay::marks(QPoint cell) const {
    const std::vector<QPoint>& marked = cells();
    return std::find(marked.begin(), marked.end(), cell) != marked.end();
}

bool LastPlay::inOneLine() const {
    const auto sameColumn = [&](QPoint cell) { return cell.x() == cells_.front().x(); };
    const auto sameRow = [&](QPoint cell) { return cell.y() == cells_.front().y(); };
    return cells_.empty() || std::all_of(cells_.begin(), cells_.end(), sameColumn) ||
           std::all_of(cells_.begin(), cells_.end(), sameRow);
}

} // namespace wordmoot
