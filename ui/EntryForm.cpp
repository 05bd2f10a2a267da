#include "EntryForm.h"

#include "EditText.h"
#include "TypedDate.h"

std::variant<FormEntry, CommandOutcome> ReadEntryForm(const wxTextCtrl& steps, TypedDate& typed,
                                                      const wxDatePickerCtrl& picker,
                                                      std::string_view consequence) {
    const std::string because = ": " + std::string(consequence) + ".";
    const std::optional<std::uint32_t> count = ParseStepsText(steps.GetValue().utf8_string());
    typed.JudgeWhileTyping();
    const wxDateTime date = picker.GetValue();
    if (!count)
        return CommandOutcome{"That number of steps cannot be stored" + because,
                              "steps text out of range"};
    if (const std::optional<std::string>& text = typed.Unread())
        return CommandOutcome{"\"" + *text + "\" is not a date" + because, "date text not read"};
    if (!date.IsValid())
        return CommandOutcome{"The date is not a valid date" + because, "no date picked"};
    return FormEntry{*count, std::chrono::year_month_day(
                                 std::chrono::year(date.GetYear()),
                                 std::chrono::month(static_cast<unsigned>(date.GetMonth()) + 1),
                                 std::chrono::day(date.GetDay()))};
}
