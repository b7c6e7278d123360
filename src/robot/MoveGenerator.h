#pragma once

#include "shared/rules/Tiles.h"
#include "robot/WordGraph.h"

#include <functional>
#include <string_view>
#include <vector>

// Every legal play for a rack on a board, with its score, found by walking
// the word graph from the anchor squares (Appel and Jacobson, 1988). A play
// is legal when its tiles lie in one row or column without gaps, it covers
// the centre with two tiles or more on an empty board and touches a tile
// otherwise, and every word it forms of two letters or more is in the list.
namespace wordmoot {

struct ScoredPlay {
    Play play; // tiles in order along their row or column
    int score = 0;

    bool operator==(const ScoredPlay&) const = default;
};

class MoveGenerator {
public:
    // Called once for every play; the play is a buffer reused between calls.
    using Visitor = std::function<void(const Play& play, int score)>;

    // The graph must outlive the generator.
    explicit MoveGenerator(const WordGraph& graph)
        : graph_(graph) {}

    // A rack is a string of 'A' to 'Z' and kUnnamedBlank for a blank.
    // Each play once; a blank is tried as every letter that makes the play
    // legal, next to the rack's own letter where the rack has it too.
    void forEachPlay(const Grid& grid, std::string_view rack, const Visitor& visit) const;
    std::vector<ScoredPlay> allPlays(const Grid& grid, std::string_view rack) const;

private:
    const WordGraph& graph_;
};

} // namespace wordmoot
