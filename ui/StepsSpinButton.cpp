#include "StepsSpinButton.h"

#include <algorithm>
#include <tuple>

#include <wx/dcclient.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "EditText.h"

#include "AccessibleArrows.h"

namespace {

constexpr int kFirstRepeatMs = 400;
constexpr int kRepeatMs = 60;

} // namespace

StepsSpinButton::StepsSpinButton(wxWindow* parent, wxWindowID id, wxTextCtrl* buddy, long minimum,
                                 long maximum)
    : wxControl(parent, id, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE), buddy_(buddy),
      minimum_(minimum), maximum_(maximum), value_(minimum), repeat_(this) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, &StepsSpinButton::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &StepsSpinButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_DCLICK, &StepsSpinButton::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &StepsSpinButton::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &StepsSpinButton::OnCaptureLost, this);
    Bind(wxEVT_TIMER, &StepsSpinButton::OnRepeat, this);
    Bind(wxEVT_SIZE, &StepsSpinButton::OnSize, this);
    buddy_->Bind(wxEVT_KEY_DOWN, &StepsSpinButton::OnBuddyKey, this);
    AddAccessibleArrows();
}

void StepsSpinButton::AddAccessibleArrows() {
    std::tie(increase_, decrease_) = NewAccessibleArrows(*this);
}

void StepsSpinButton::OnSize(wxSizeEvent& event) {
    const wxSize size = GetClientSize();
    const int half = size.y / 2;
    if (increase_)
        increase_->SetSize(0, 0, size.x, half);
    if (decrease_)
        decrease_->SetSize(0, half, size.x, size.y - half);
    event.Skip();
}

wxSize StepsSpinButton::DoGetBestSize() const {
    return FromDIP(wxSize(16, 24));
}

void StepsSpinButton::Step(long delta) {
    // A number typed into the edit is where stepping starts; anything else
    // steps from the last value the arrows wrote.
    if (auto typed = ParseStepsText(buddy_->GetValue().utf8_string()))
        value_ = std::clamp(static_cast<long>(*typed), minimum_, maximum_);
    value_ = std::clamp(value_ + delta, minimum_, maximum_);
    buddy_->ChangeValue(wxString::Format("%ld", value_));
    buddy_->SetInsertionPointEnd();
}

void StepsSpinButton::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    dc.SetBackground(GetParent()->GetBackgroundColour());
    dc.Clear();
    const wxSize size = GetClientSize();
    const int half = size.y / 2;
    const wxColour arrowColour = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT);
    dc.SetPen(arrowColour);
    dc.SetBrush(arrowColour);
    for (int direction : {+1, -1}) {
        const wxRect rect(0, direction > 0 ? 0 : half, size.x,
                          direction > 0 ? half : size.y - half);
        wxRendererNative::Get().DrawPushButton(this, dc, rect,
                                               pressed_ == direction ? int{wxCONTROL_PRESSED} : 0);
        const int arrowHalfWidth = std::max(1, std::min(rect.width / 4, rect.height / 3));
        const int arrowHeight = arrowHalfWidth;
        const wxPoint centre = rect.GetPosition() + wxPoint(rect.width / 2, rect.height / 2);
        const int tipY = centre.y - direction * arrowHeight / 2;
        const int baseY = tipY + direction * arrowHeight;
        const wxPoint arrow[] = {{centre.x, tipY},
                                 {centre.x - arrowHalfWidth, baseY},
                                 {centre.x + arrowHalfWidth, baseY}};
        dc.DrawPolygon(3, arrow);
    }
}

void StepsSpinButton::OnLeftDown(wxMouseEvent& event) {
    pressed_ = event.GetY() < GetClientSize().y / 2 ? +1 : -1;
    if (!HasCapture())
        CaptureMouse();
    Step(pressed_);
    repeat_.StartOnce(kFirstRepeatMs);
    Refresh();
}

void StepsSpinButton::OnLeftUp(wxMouseEvent&) {
    EndPress();
}

void StepsSpinButton::OnCaptureLost(wxMouseCaptureLostEvent&) {
    EndPress();
}

void StepsSpinButton::EndPress() {
    repeat_.Stop();
    if (HasCapture())
        ReleaseMouse();
    pressed_ = 0;
    Refresh();
}

void StepsSpinButton::OnRepeat(wxTimerEvent&) {
    if (pressed_ == 0)
        return;
    Step(pressed_);
    repeat_.StartOnce(kRepeatMs);
}

void StepsSpinButton::OnBuddyKey(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
    case WXK_UP:
    case WXK_NUMPAD_UP:
        Step(+1);
        return;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN:
        Step(-1);
        return;
    default:
        event.Skip();
    }
}
