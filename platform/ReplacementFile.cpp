#include "ReplacementFile.h"

// What both systems' replacements share; the systems differ in what they
// check of the replaced file and in how the copy takes its place.

namespace fs = std::filesystem;

ReplacementFile::ReplacementFile(fs::path target)
    : ReplacementFile(target, target, ScratchName::Fresh) {}

ReplacementFile::~ReplacementFile() {
    if (scratch_.file.IsOpen() || !status_) {
        scratch_.file = FileHandle();
        RemoveScratchFile(scratch_);
    }
}

fs::path ReplacementFile::ScratchPath() const {
    return scratch_.name.empty() ? scratch_.stem : scratch_.name;
}

bool ReplacementFile::Write(std::span<const std::uint8_t> bytes) {
    if (status_)
        status_ = scratch_.file.WriteAt(bytes, written_, ScratchPath());
    written_ += bytes.size();
    return status_.IsOk();
}
