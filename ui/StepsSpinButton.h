#pragma once

#include <wx/control.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

// The up-down arrows beside the steps edit. GTK's own spin button cannot be
// drawn in so small a space, so this one draws two native push buttons with
// an arrow each. Like a buddy-bound up-down control it steps the number in its
// edit, from the arrows (repeating while held) and from the up and down keys
// in the edit, and never leaves its range. Screen readers find two push
// buttons in it, "Increase steps" and "Decrease steps", which they can press;
// on Windows the system's own up-down control lies over the arrows and is
// what is clicked and read (see AccessibleArrows.h).
class StepsSpinButton : public wxControl {
public:
    StepsSpinButton(wxWindow* parent, wxWindowID id, wxTextCtrl* buddy, long minimum, long maximum);

    // Moves the value in the edit by delta steps within the range.
    void Step(long delta);

    bool AcceptsFocus() const override { return false; }

protected:
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnRepeat(wxTimerEvent& event);
    void OnBuddyKey(wxKeyEvent& event);
    void OnSize(wxSizeEvent& event);
    void EndPress();
    void AddAccessibleArrows();

    wxTextCtrl* buddy_;
    long minimum_;
    long maximum_;
    long value_;
    int pressed_ = 0; // +1 up arrow held, -1 down arrow held
    wxTimer repeat_;
    // The unseen push buttons over the upper and the lower arrow.
    wxWindow* increase_ = nullptr;
    wxWindow* decrease_ = nullptr;
};
