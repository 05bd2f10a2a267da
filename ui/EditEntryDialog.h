#pragma once

#include <memory>
#include <optional>
#include <variant>

#include <wx/datectrl.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>

#include "EntryForm.h"
#include "StepRecord.h"

class TypedDate;

// Asks for a new count and date for one entry, shown with its own.
class EditEntryDialog : public wxDialog {
public:
    EditEntryDialog(wxWindow* parent, const StepRecord& entry);
    ~EditEntryDialog() override;

    // Shows the dialog; the entry as the user left the fields when they chose
    // OK (or why it cannot be stored), none when they cancelled.
    std::optional<std::variant<FormEntry, CommandOutcome>> Ask();

private:
    wxTextCtrl* steps_ = nullptr;
    wxDatePickerCtrl* date_ = nullptr;
    std::unique_ptr<TypedDate> typedDate_;
};
