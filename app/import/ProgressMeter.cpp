#include "ProgressMeter.h"

#include <algorithm>
#include <utility>

#include "ImportError.h"

namespace {
// Often enough for a bar to move smoothly, rarely enough to cost nothing.
constexpr std::uint64_t kTellEvery = 1 << 20;
constexpr std::uint64_t kSteps = 100;
} // namespace

ProgressMeter::ProgressMeter(ImportProgress progress, std::uint64_t total)
    : progress_(std::move(progress)), total_(total),
      step_(std::clamp<std::uint64_t>(total / kSteps, 1, kTellEvery)) {}

void ProgressMeter::Reached(std::uint64_t done) {
    if (done >= told_ + step_)
        Tell(done);
}

void ProgressMeter::Tell(std::uint64_t done) {
    // A file that grows while it is read must not show more than all of it.
    told_ = std::min(done, total_);
    if (progress_ && !progress_(told_, total_))
        throw ImportCancelled();
}
