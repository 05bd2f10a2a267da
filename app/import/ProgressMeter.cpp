#include "ProgressMeter.h"

#include <algorithm>
#include <utility>

#include "ImportError.h"

namespace {
constexpr std::uint64_t kTellEvery = 1 << 20;
}

ProgressMeter::ProgressMeter(ImportProgress progress, std::uint64_t total)
    : progress_(std::move(progress)), total_(total) {}

void ProgressMeter::Reached(std::uint64_t done) {
    if (done >= told_ + kTellEvery)
        Tell(done);
}

void ProgressMeter::Tell(std::uint64_t done) {
    // A file that grows while it is read must not show more than all of it.
    told_ = std::min(done, total_);
    if (progress_ && !progress_(told_, total_))
        throw ImportCancelled();
}
