#pragma once

#include "analysis/Analysis.h"

#include <string>

namespace wordmoot::analysis {

// A line for every move weighed: its number, who moved, the rack, what was
// played and scored, the engine's best with its value, and the value lost;
// then each player's total lost and three biggest misses.
std::string report(const ReadRecord& record, const Analysis& analysis);

} // namespace wordmoot::analysis
