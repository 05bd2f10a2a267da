#include "TypedDate.h"

#include <wx/combo.h>
#include <wx/dateevt.h>
#include <wx/textctrl.h>
#include <wx/uilocale.h>
#include <wx/valtext.h>

#include "EditText.h"

namespace {

// The combo box of a picker drawn by wxWidgets itself, as on GTK; a native
// picker (Windows) has none and never holds text that is no date.
wxComboCtrl* PickerCombo(wxDatePickerCtrl& picker) {
    for (wxWindow* child : picker.GetChildren())
        if (auto* combo = dynamic_cast<wxComboCtrl*>(child))
            return combo;
    return nullptr;
}

wxTextCtrl* PickerText(wxDatePickerCtrl& picker) {
    wxComboCtrl* combo = PickerCombo(picker);
    return combo ? combo->GetTextCtrl() : nullptr;
}

// The picker lets through only the characters of its own format, which
// keeps the hyphens of a YYYY-MM-DD date out.
void LetHyphensThrough(wxDatePickerCtrl& picker) {
    wxComboCtrl* combo = PickerCombo(picker);
    auto* filter = combo ? dynamic_cast<wxTextValidator*>(combo->GetValidator()) : nullptr;
    if (filter && filter->HasFlag(wxFILTER_INCLUDE_CHAR_LIST))
        filter->AddCharIncludes("-");
}

// The format the picker reads typed text in: the locale's short date with
// the century, as wxWidgets' own picker sets it up.
wxString PickerFormat(const wxDatePickerCtrl& picker) {
    wxString format = wxUILocale::GetCurrent().GetInfo(wxLOCALE_SHORT_DATE_FMT);
    if (picker.HasFlag(wxDP_SHOWCENTURY))
        format.Replace("%y", "%Y");
    return format;
}

} // namespace

TypedDate::TypedDate(wxDatePickerCtrl& picker) : picker_(picker), text_(PickerText(picker)) {
    LetHyphensThrough(picker_);
    // Bound after the picker's own handler, so called before it, while the
    // typed text is still there.
    if (text_)
        text_->Bind(wxEVT_KILL_FOCUS, &TypedDate::OnLeaveText, this);
    picker_.Bind(wxEVT_DATE_CHANGED, &TypedDate::OnDateChanged, this);
}

TypedDate::~TypedDate() {
    if (text_)
        text_->Unbind(wxEVT_KILL_FOCUS, &TypedDate::OnLeaveText, this);
    picker_.Unbind(wxEVT_DATE_CHANGED, &TypedDate::OnDateChanged, this);
}

void TypedDate::JudgeWhileTyping() {
    if (text_ && wxWindow::FindFocus() == text_)
        Judge();
}

void TypedDate::Judge() {
    if (!text_)
        return;
    const std::string text = text_->GetValue().utf8_string();
    if (const auto iso = ParseIsoDateText(text)) {
        picker_.SetValue(wxDateTime(static_cast<wxDateTime::wxDateTime_t>(unsigned(iso->day())),
                                    static_cast<wxDateTime::Month>(unsigned(iso->month()) - 1),
                                    int(iso->year())));
        unread_.reset();
        return;
    }
    // As the picker reads it: a date at the start is enough.
    wxDateTime typed;
    wxString::const_iterator end;
    if (typed.ParseFormat(text_->GetValue(), PickerFormat(picker_), &end) && typed.IsValid())
        unread_.reset();
    else
        unread_ = text;
}

void TypedDate::OnLeaveText(wxFocusEvent& event) {
    Judge();
    event.Skip();
}

void TypedDate::OnDateChanged(wxDateEvent& event) {
    unread_.reset();
    event.Skip();
}
