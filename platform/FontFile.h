#pragma once

#include <optional>
#include <string>

// Where an installed font face lives.
struct FontFile {
    std::string path;
    int faceIndex = 0;
};

// The installed scalable face fontconfig picks as the best match for a family
// name at regular weight and upright; nothing when fontconfig has no match.
std::optional<FontFile> FindFontFile(const char* family);
