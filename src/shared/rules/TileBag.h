#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

// The bag of the standard English game and the racks drawn from it. A tile
// is its letter, 'A' to 'Z', or kUnnamedBlank for a blank; a rack is the
// string of its tiles.
namespace wordmoot {

inline constexpr int kBagTiles = 100;

class TileBag {
public:
    // The full bag; the same seed gives the same draws.
    explicit TileBag(std::uint64_t seed);

    int size() const { return static_cast<int>(tiles_.size()); }
    bool isEmpty() const { return tiles_.empty(); }
    // One tile at random; the bag must not be empty.
    char draw();
    // Fills the rack up to seven tiles, or until the bag is empty.
    void refill(std::string& rack);
    void putBack(std::string_view tiles) { tiles_.append(tiles); }
    const std::string& tiles() const { return tiles_; }

private:
    std::string tiles_;
    std::mt19937_64 random_;
};

// Whether the rack holds all these tiles, counting repeats.
bool rackHolds(std::string_view rack, std::string_view tiles);
// The rack without these tiles; the rack must hold them.
std::string rackWithout(std::string_view rack, std::string_view tiles);
// The face values of the rack's tiles added up, blanks nothing.
int rackValue(std::string_view rack);

} // namespace wordmoot
