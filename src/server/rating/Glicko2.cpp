#include "server/rating/Glicko2.h"

#include <cmath>
#include <numbers>

namespace wordmoot::rating {

namespace {

constexpr double kScale = 173.7178; // between the Glicko and Glicko-2 scales
constexpr double kEpsilon = 0.000001; // where the volatility's iteration stops
constexpr int kMostSteps = 100;      // it converges in a handful

double g(double phi) {
    return 1 / std::sqrt(1 + 3 * phi * phi / (std::numbers::pi * std::numbers::pi));
}

double expected(double mu, double muJ, double phiJ) {
    return 1 / (1 + std::exp(-g(phiJ) * (mu - muJ)));
}

// Step 5: the new volatility, by the Illinois algorithm.
double newVolatility(double sigma, double phi, double v, double delta, double tau) {
    const double a = std::log(sigma * sigma);
    const auto f = [&](double x) {
        const double ex = std::exp(x);
        const double d = phi * phi + v + ex;
        return ex * (delta * delta - phi * phi - v - ex) / (2 * d * d) - (x - a) / (tau * tau);
    };
    double A = a;
    double B = 0;
    if (delta * delta > phi * phi + v) {
        B = std::log(delta * delta - phi * phi - v);
    } else {
        int k = 1;
        while (f(a - k * tau) < 0 && k < kMostSteps)
            ++k;
        B = a - k * tau;
    }
    double fA = f(A), fB = f(B);
    for (int step = 0; std::abs(B - A) > kEpsilon && step < kMostSteps; ++step) {
        const double C = A + (A - B) * fA / (fB - fA);
        const double fC = f(C);
        if (fC * fB <= 0) {
            A = B;
            fA = fB;
        } else {
            fA /= 2;
        }
        B = C;
        fB = fC;
    }
    return std::exp(A / 2);
}

} // namespace

Rating rated(const Rating& player, std::span<const Game> games, double tau) {
    const double mu = (player.rating - 1500) / kScale;
    const double phi = player.deviation / kScale;
    if (games.empty()) {
        const double grown = std::sqrt(phi * phi + player.volatility * player.volatility);
        return {player.rating, grown * kScale, player.volatility};
    }
    double inverseV = 0, sum = 0;
    for (const Game& game : games) {
        const double muJ = (game.opponent.rating - 1500) / kScale;
        const double phiJ = game.opponent.deviation / kScale;
        const double e = expected(mu, muJ, phiJ);
        inverseV += g(phiJ) * g(phiJ) * e * (1 - e);
        sum += g(phiJ) * (game.score - e);
    }
    const double v = 1 / inverseV;
    const double sigma = newVolatility(player.volatility, phi, v, v * sum, tau);
    const double phiStar = std::sqrt(phi * phi + sigma * sigma);
    const double phiNew = 1 / std::sqrt(1 / (phiStar * phiStar) + 1 / v);
    const double muNew = mu + phiNew * phiNew * sum;
    return {muNew * kScale + 1500, phiNew * kScale, sigma};
}

} // namespace wordmoot::rating
