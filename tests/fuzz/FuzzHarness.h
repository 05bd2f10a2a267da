#pragma once
// What every fuzz target here shares: invariants that abort the run when they
// break, and a scratch directory of its own.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#define CHECK(condition)                                                                           \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

// A fresh directory, in memory when the machine has one (the disk is not what
// is tested), removed when the fuzzer exits. Exits when none can be made.
const std::filesystem::path& FuzzDirectory(const char* prefix);
