#include "FreshName.h"

#include <random>

std::string FreshSuffix() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    static std::mt19937_64 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix = ".";
    for (int i = 0; i < 8; ++i)
        suffix += kLetters[pick(generator)];
    return suffix;
}
