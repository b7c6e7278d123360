#pragma once

#include "robot/LeaveTable.h"

#include <string_view>
#include <vector>

// Leave values fitted by least squares: each sample is the tiles a robot kept
// and the points it scored on its next turn; the table's entries are the
// weights of a linear model with one feature per entry (tiles, extra copies,
// pairs) and a constant, shrunk towards zero (ridge) so that rare pairs stay
// small.
class LeaveFit {
public:
    LeaveFit();
    void add(std::string_view leave, double nextScore);
    int samples() const { return samples_; }
    // The table, and the constant: the mean next score with no tile kept.
    wordmoot::robot::LeaveTable solve(double ridge, double* constant = nullptr) const;

private:
    std::vector<int> features(std::string_view leave) const;

    int size_;
    int samples_ = 0;
    std::vector<double> normal_; // size_ x size_: sum of x x'
    std::vector<double> target_; // sum of x y
};
