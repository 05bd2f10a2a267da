#pragma once

#include <functional>

struct Measurement {
    double medianMs = 0;
    double minMs = 0; // on a loaded machine the quickest round says the most
    long peakKb = 0;
};

// Runs `run` `rounds` times in a child process of its own, so that the peak
// memory is the work's own and not what the caller holds, with `prepare`
// (not timed) before each round. The median and quickest times and the
// child's peak memory; -1 for all when the child died.
Measurement MeasureInChild(const std::function<void()>& prepare, const std::function<void()>& run,
                           int rounds);
