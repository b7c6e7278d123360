#pragma once

#include "robot/MoveGenerator.h"
#include "shared/rules/WordList.h"

#include <string>
#include <string_view>
#include <vector>

// Every legal play found the slow, obvious way, to hold the move generator
// to: every run of free cells on every line, filled with every ordering of
// every choice of rack tiles (a blank as each letter in turn), judged by the
// rules library's own placement check, formed words and scoring against the
// word list. It shares no code with the generator and walks no graph.
namespace wordmoot::testing {

class BruteForce {
public:
    // The list must outlive the generator.
    explicit BruteForce(const WordList& words)
        : words_(words) {}

    // Slow: a rack of seven letters takes seconds, a blank multiplies that
    // by 26.
    std::vector<ScoredPlay> allPlays(const Grid& grid, std::string_view rack) const;

private:
    const WordList& words_;
};

// The plays as sorted lines such as "(7,7)C (8,7)a (9,7)T = 10", a blank in
// lower case, so two sets of plays compare as text and a difference reads.
std::vector<std::string> described(const std::vector<ScoredPlay>& plays);

} // namespace wordmoot::testing
