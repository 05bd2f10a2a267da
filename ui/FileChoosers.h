#pragma once

#include <filesystem>
#include <functional>
#include <optional>

class wxWindow;

// Where the user wants to import from or export to; none when they cancel.
// Replaceable, so that tests need no file chooser.
enum class FileChoice { kImport, kExport };
using FileChooser = std::function<std::optional<std::filesystem::path>(FileChoice)>;

// The desktop's file choosers. The export's suggests "trekline-YYYY-MM-DD.csv"
// in the diary's directory, adds ".csv" to a name without it and asks before
// replacing a file.
std::optional<std::filesystem::path> ChooseFile(wxWindow* parent, FileChoice choice,
                                                const std::filesystem::path& directory);
