#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>
#include <variant>

#include <wx/datectrl.h>
#include <wx/textctrl.h>

#include "CommandOutcome.h"

class TypedDate;

// A count and a date as the user gave them in a form: the Add form of the
// main window, or the edit dialog.
struct FormEntry {
    std::uint32_t steps = 0;
    std::chrono::year_month_day date;
};

// Reads the steps edit and the date picker, or says why they cannot be stored
// and so left `consequence` ("the entry was not added").
std::variant<FormEntry, CommandOutcome> ReadEntryForm(const wxTextCtrl& steps, TypedDate& typed,
                                                      const wxDatePickerCtrl& picker,
                                                      std::string_view consequence);
