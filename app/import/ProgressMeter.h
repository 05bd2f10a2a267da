#pragma once
#include <cstdint>

#include "ImportedSteps.h"

// Tells the caller's progress callback how far a read has come, every
// hundredth or mebibyte rather than every buffer, and turns its "stop" into
// ImportCancelled.
class ProgressMeter {
public:
    ProgressMeter(ImportProgress progress, std::uint64_t total);

    void Reached(std::uint64_t done);
    void Finish() { Tell(total_); }
    // Asks again whether to go on, for work that reads nothing new for a while.
    void Ask() { Tell(told_); }
    std::uint64_t Total() const { return total_; }

private:
    void Tell(std::uint64_t done);

    ImportProgress progress_;
    std::uint64_t total_;
    std::uint64_t step_;
    std::uint64_t told_ = 0;
};
