#pragma once

#include <optional>
#include <string>

#include <wx/datectrl.h>
#include <wx/dateevt.h>
#include <wx/textctrl.h>

// What the user typed into the date picker, judged as they leave it. The
// picker silently puts its last date back over text it cannot read, so an
// Add would store the entry on a day nobody chose; this keeps that text, so
// that the Add can refuse and name it. A date typed as YYYY-MM-DD is taken
// whatever the picker's own format.
class TypedDate {
public:
    explicit TypedDate(wxDatePickerCtrl& picker);
    // Goes before the picker, whose text may still lose the focus as the
    // window closes.
    ~TypedDate();
    TypedDate(const TypedDate&) = delete;
    TypedDate& operator=(const TypedDate&) = delete;

    // Judges the text while the user is still typing it: Enter pressed in the
    // picker adds without leaving it.
    void JudgeWhileTyping();
    // The text last typed that is no date, until a date is typed or picked.
    const std::optional<std::string>& Unread() const { return unread_; }

private:
    void Judge();
    void OnLeaveText(wxFocusEvent& event);
    void OnDateChanged(wxDateEvent& event);

    wxDatePickerCtrl& picker_;
    wxTextCtrl* text_ = nullptr;
    std::optional<std::string> unread_;
};
