#include "FontFile.h"

#include <memory>

#include <fontconfig/fontconfig.h>

namespace {

struct PatternDeleter {
    void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;

} // namespace

std::optional<FontFile> FindFontFile(const char* family) {
    PatternPtr wanted(FcPatternCreate());
    if (!wanted)
        return std::nullopt;
    FcPatternAddString(wanted.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(wanted.get(), FC_WEIGHT, FC_WEIGHT_REGULAR);
    FcPatternAddInteger(wanted.get(), FC_SLANT, FC_SLANT_ROMAN);
    // The label font is scaled to a cell height, which a bitmap strike cannot do.
    FcPatternAddBool(wanted.get(), FC_OUTLINE, FcTrue);
    if (!FcConfigSubstitute(nullptr, wanted.get(), FcMatchPattern))
        return std::nullopt;
    FcDefaultSubstitute(wanted.get());

    FcResult result = FcResultNoMatch;
    PatternPtr match(FcFontMatch(nullptr, wanted.get(), &result));
    if (!match || result != FcResultMatch)
        return std::nullopt;

    FcChar8* path = nullptr;
    if (FcPatternGetString(match.get(), FC_FILE, 0, &path) != FcResultMatch || !path)
        return std::nullopt;
    FontFile file;
    file.path = reinterpret_cast<const char*>(path);
    FcPatternGetInteger(match.get(), FC_INDEX, 0, &file.faceIndex);
    return file;
}
