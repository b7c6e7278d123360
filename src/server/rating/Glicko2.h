#pragma once

#include <span>

// Ratings by the Glicko-2 system (Mark E. Glickman, "Example of the Glicko-2
// system", 2012): a rating, how far it may be off (its deviation), and how
// much the player's strength swings (the volatility), updated after a rating
// period from the games played in it.
namespace wordmoot::rating {

struct Rating {
    double rating = 1500;
    double deviation = 350;
    double volatility = 0.06;
};

struct Game {
    Rating opponent; // as it was before the period
    double score = 0; // 1 a win, 0.5 a draw, 0 a loss
};

// How much the volatility may change over time; the paper suggests 0.3 to 1.2.
inline constexpr double kTau = 0.5;

// The rating after a period with these games; with none, the same rating
// with a deviation grown by the volatility.
Rating rated(const Rating& player, std::span<const Game> games, double tau = kTau);

} // namespace wordmoot::rating
