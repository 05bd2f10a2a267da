#pragma once

#include <string>

// What the scratch files of both systems share.

// How many fresh names are tried before giving up: each is taken only if
// someone keeps guessing them.
inline constexpr int kFreshNameAttempts = 100;

// A dot and eight random letters or digits, for a name no one holds.
std::string FreshSuffix();
