#pragma once

#include <functional>

struct Measurement {
    double medianMs = 0;
    long peakKb = 0;
};

// Runs `run` `rounds` times in a child process of its own, so that the peak
// memory is the work's own and not what the caller holds, with `prepare`
// (not timed) before each round. The median time and the child's peak
// memory; -1 for both when the child died.
Measurement MeasureInChild(const std::function<void()>& prepare, const std::function<void()>& run,
                           int rounds);
