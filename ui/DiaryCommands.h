#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "EntryList.h"

// What the dialog's commands do to "data.steps" in the current directory,
// kept free of windows so that it can be tested without a display.

// The list's items from the file, or none when the file cannot be opened.
std::optional<std::vector<EntryItem>> LoadEntryItems();

// Appends an entry for that count and date with the next identifier. False
// when the file could not be opened or written; it is then as it was.
bool AddEntry(std::uint32_t steps, std::chrono::year_month_day date);

// Removes the entry with that identifier, if the file still holds it.
void DeleteEntry(std::uint32_t identifier);
