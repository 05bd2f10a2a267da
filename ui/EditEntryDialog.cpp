#include "EditEntryDialog.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/valtext.h>

#include "AccessibleLabels.h"
#include "EntryDate.h"
#include "TypedDate.h"

EditEntryDialog::EditEntryDialog(wxWindow* parent, const StepRecord& entry)
    : wxDialog(parent, wxID_ANY, "Edit Entry") {
    auto* stepsLabel = new wxStaticText(this, wxID_ANY, "&Steps:");
    steps_ = new wxTextCtrl(this, wxID_ANY, std::to_string(entry.steps));
    steps_->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    auto* dateLabel = new wxStaticText(this, wxID_ANY, "&Date:");
    date_ = new wxDatePickerCtrl(this, wxID_ANY, wxDefaultDateTime, wxDefaultPosition,
                                 wxDefaultSize, wxDP_DROPDOWN | wxDP_SHOWCENTURY);
    // The date the list shows for the entry; one it cannot show (an
    // undatable record) leaves the picker on today.
    if (std::optional<LocalDate> local = EntryLocalDate(entry))
        date_->SetValue(wxDateTime(static_cast<wxDateTime::wxDateTime_t>(local->day),
                                   static_cast<wxDateTime::Month>(local->month - 1), local->year));
    typedDate_ = std::make_unique<TypedDate>(*date_);

    auto* fields = new wxFlexGridSizer(2, wxSize(FromDIP(8), FromDIP(8)));
    fields->Add(stepsLabel, wxSizerFlags().CenterVertical());
    fields->Add(steps_, wxSizerFlags().Expand());
    fields->Add(dateLabel, wxSizerFlags().CenterVertical());
    fields->Add(date_, wxSizerFlags().Expand());
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(fields, wxSizerFlags().Expand().Border(wxALL, FromDIP(12)));
    column->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL),
                wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(12)));
    SetSizerAndFit(column);
    CentreOnParent();
    // Labels are tied to their fields once the toolkit has made its own ties.
    CallAfter([this, stepsLabel, dateLabel] {
        LabelControls(*stepsLabel, {steps_}, *steps_);
        LabelControls(*dateLabel, {date_}, *date_);
    });
    steps_->SetFocus();
    steps_->SelectAll();
}

EditEntryDialog::~EditEntryDialog() = default;

std::optional<std::variant<FormEntry, CommandOutcome>> EditEntryDialog::Ask() {
    if (ShowModal() != wxID_OK)
        return std::nullopt;
    return ReadEntryForm(*steps_, *typedDate_, *date_, "the entry was not changed");
}
