#pragma once

#include "tools/analysis/Analysis.h"

#include <string>

namespace wordmoot::analysis {

// The final score, a few lines on what the figures mean, then a line for
// every move under column headings: its number, who moved, the rack, what
// was played and scored, its value, the engine's best with its value, and
// the value lost; a turn lost to a challenge shows with no figures. Then
// each player's total lost and three biggest misses.
std::string report(const ReadRecord& record, const Analysis& analysis);

} // namespace wordmoot::analysis
