#pragma once

#include "shared/rules/Tiles.h"

#include <initializer_list>
#include <string_view>
#include <tuple>

// A board of words laid by hand for the robot's tests: each word's first
// square (column, row), whether it runs down, and its letters.
inline wordmoot::Grid boardWith(
    std::initializer_list<std::tuple<int, int, bool, std::string_view>> words) {
    wordmoot::Grid grid;
    for (const auto& [column, row, down, letters] : words)
        for (std::size_t i = 0; i < letters.size(); ++i)
            grid.at(column + (down ? 0 : int(i)), row + (down ? int(i) : 0)) = {letters[i], false};
    return grid;
}
