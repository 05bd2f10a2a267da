#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "RecordedCalls.h"

// What a power cut may leave of one directory, worked out from the calls a
// command made in it. Starting from the files as they were, the calls are
// replayed one by one; after each, every state the disk may then hold is a
// crash state.
//
// Writes not yet made durable by an fsync of their file may be lost or land
// cut short, directory entries (creations, renames, removals) not yet made
// durable by an fsync of the directory may be undone. Two models say how:
// - Posix, the strict reading of the standard: unsynced writes land in order,
//   the last of them cut at any byte, and a cut may have reached the file's
//   size but not its bytes (zeros); any subset of the pending directory
//   changes may be lost.
// - Ext4Like, a journalling file system with ordered data: the bytes that land
//   are the written ones; directory changes are journalled in order, so a
//   prefix of them survives, and an fsync of any file commits every directory
//   change made before it.

enum class CrashModel { Posix, Ext4Like };

// The regular files of a directory and their bytes.
using DirectoryImage = std::map<std::string, std::vector<std::uint8_t>>;

struct CrashState {
    std::size_t callsMade = 0; // how many of the recorded calls came before the cut
    DirectoryImage files;
};

// Every distinct crash state of the directory `directory`, which held
// `before`, after each prefix of `calls`; the last ones have every call
// made. Calls on other directories are a test error and throw.
std::vector<CrashState> EnumerateCrashStates(const std::filesystem::path& directory,
                                             const DirectoryImage& before,
                                             const std::vector<RecordedCall>& calls,
                                             CrashModel model);

// The directory as it is once every call has landed, which must be what the
// command really left.
DirectoryImage ReplayAll(const std::filesystem::path& directory, const DirectoryImage& before,
                         const std::vector<RecordedCall>& calls);
