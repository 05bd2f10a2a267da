#pragma once

#include <cstdint>

// The byte order of every binary file Trekline reads or writes, whatever the
// order of the machine it runs on.

inline void PutLittleEndian16(unsigned char* at, std::uint16_t value) {
    at[0] = static_cast<unsigned char>(value);
    at[1] = static_cast<unsigned char>(value >> 8);
}

inline void PutLittleEndian32(unsigned char* at, std::uint32_t value) {
    PutLittleEndian16(at, static_cast<std::uint16_t>(value));
    PutLittleEndian16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

inline std::uint16_t GetLittleEndian16(const unsigned char* at) {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

inline std::uint32_t GetLittleEndian32(const unsigned char* at) {
    return GetLittleEndian16(at) | static_cast<std::uint32_t>(GetLittleEndian16(at + 2)) << 16;
}
