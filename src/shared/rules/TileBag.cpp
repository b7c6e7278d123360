#include "shared/rules/TileBag.h"

#include "shared/rules/Tiles.h"

#include <algorithm>

namespace wordmoot {

namespace {
// How many of each tile the bag holds: A to Z, then the blanks.
constexpr int kCounts[27] = {9, 2, 2, 4, 12, 2, 3, 2, 9, 1, 1, 4, 2, 6,
                             8, 2, 1, 6, 4,  6, 4, 2, 2, 1, 2, 1, 2};
} // namespace

TileBag::TileBag(std::uint64_t seed)
    : random_(seed) {
    for (int i = 0; i < 27; ++i)
        tiles_.append(kCounts[i], i < 26 ? static_cast<char>('A' + i) : kUnnamedBlank);
}

char TileBag::draw() {
    // The modulo leans by less than one part in 2^57: too little to matter.
    const std::size_t pick = random_() % tiles_.size();
    const char tile = tiles_[pick];
    tiles_[pick] = tiles_.back();
    tiles_.pop_back();
    return tile;
}

void TileBag::refill(std::string& rack) {
    while (rack.size() < static_cast<std::size_t>(kRackSlots) && !tiles_.empty())
        rack += draw();
}

bool rackHolds(std::string_view rack, std::string_view tiles) {
    std::string left(rack);
    for (const char tile : tiles) {
        const auto at = left.find(tile);
        if (at == std::string::npos)
            return false;
        left.erase(at, 1);
    }
    return true;
}

std::string rackWithout(std::string_view rack, std::string_view tiles) {
    std::string left(rack);
    for (const char tile : tiles) {
        const auto at = left.find(tile);
        if (at != std::string::npos)
            left.erase(at, 1);
    }
    return left;
}

int rackValue(std::string_view rack) {
    int total = 0;
    for (const char tile : rack)
        total += tileValue(Tile{tile, tile == kUnnamedBlank});
    return total;
}

} // namespace wordmoot
