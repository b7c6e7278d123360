#pragma once

#include <atomic>
#include <chrono>

namespace wordmoot::robot {

using Clock = std::chrono::steady_clock;

// When a think must answer: at a time, or as soon as whoever asked for it
// sets its stop flag (the game it was for has gone).
struct Deadline {
    Clock::time_point at = Clock::time_point::max();
    const std::atomic<bool>* stop = nullptr;

    bool passed() const {
        return (stop && stop->load(std::memory_order_relaxed)) || Clock::now() >= at;
    }
    static Deadline in(int ms, const std::atomic<bool>* stop = nullptr) {
        return {Clock::now() + std::chrono::milliseconds(ms), stop};
    }
};

} // namespace wordmoot::robot
