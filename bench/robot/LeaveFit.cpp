#include "LeaveFit.h"

#include <array>
#include <cmath>
#include <utility>

using wordmoot::robot::LeaveTable;

namespace {
constexpr int kT = LeaveTable::kTiles;
constexpr int kPairs = kT * (kT - 1) / 2;

int pairIndex(int a, int b) { // a < b
    return a * kT - a * (a + 1) / 2 + (b - a - 1);
}
} // namespace

LeaveFit::LeaveFit()
    : size_(1 + 2 * kT + kPairs)
    , normal_(std::size_t(size_) * size_)
    , target_(size_) {}

// Feature 0 is the constant; then tiles kept, extra copies, pairs; the value
// of each is 1 per occurrence, as LeaveTable::value counts them.
std::vector<int> LeaveFit::features(std::string_view leave) const {
    std::array<int, kT> counts{};
    for (const char tile : leave)
        if (const int i = LeaveTable::index(tile); i >= 0)
            ++counts[i];
    std::vector<int> on{0};
    for (int a = 0; a < kT; ++a) {
        for (int k = 0; k < counts[a]; ++k)
            on.push_back(1 + a);
        for (int k = 1; k < counts[a]; ++k)
            on.push_back(1 + kT + a);
        for (int b = a + 1; b < kT && counts[a]; ++b)
            if (counts[b])
                on.push_back(1 + 2 * kT + pairIndex(a, b));
    }
    return on;
}

void LeaveFit::add(std::string_view leave, double nextScore) {
    const std::vector<int> on = features(leave);
    for (const int i : on) {
        target_[i] += nextScore;
        for (const int j : on)
            normal_[std::size_t(i) * size_ + j] += 1;
    }
    ++samples_;
}

LeaveTable LeaveFit::solve(double ridge, double* constant) const {
    const int n = size_;
    std::vector<double> m = normal_, y = target_;
    for (int i = 1; i < n; ++i)
        m[std::size_t(i) * n + i] += ridge;
    // Gaussian elimination with partial pivoting; the ridge keeps it regular.
    for (int col = 0; col < n; ++col) {
        int pivot = col;
        for (int r = col + 1; r < n; ++r)
            if (std::abs(m[std::size_t(r) * n + col]) > std::abs(m[std::size_t(pivot) * n + col]))
                pivot = r;
        for (int k = 0; k < n && pivot != col; ++k)
            std::swap(m[std::size_t(col) * n + k], m[std::size_t(pivot) * n + k]);
        std::swap(y[col], y[pivot]);
        for (int r = col + 1; r < n; ++r) {
            const double f = m[std::size_t(r) * n + col] / m[std::size_t(col) * n + col];
            if (f == 0)
                continue;
            for (int k = col; k < n; ++k)
                m[std::size_t(r) * n + k] -= f * m[std::size_t(col) * n + k];
            y[r] -= f * y[col];
        }
    }
    std::vector<double> w(n);
    for (int r = n - 1; r >= 0; --r) {
        double s = y[r];
        for (int k = r + 1; k < n; ++k)
            s -= m[std::size_t(r) * n + k] * w[k];
        w[r] = s / m[std::size_t(r) * n + r];
    }
    LeaveTable table;
    for (int a = 0; a < kT; ++a) {
        table.setSingle(a, w[1 + a]);
        table.setDuplicate(a, w[1 + kT + a]);
        for (int b = a + 1; b < kT; ++b)
            table.setPair(a, b, w[1 + 2 * kT + pairIndex(a, b)]);
    }
    if (constant)
        *constant = w[0];
    return table;
}
