#include "NoticeLine.h"

#include "AccessibleLabels.h"

namespace {

// Long enough to read a sentence twice, short enough not to stand beside
// what the user does next.
constexpr int kNoticeMs = 15000;

} // namespace

NoticeLine::NoticeLine(wxStaticText& versionText)
    : wxStaticText(versionText.GetParent(), wxID_ANY, wxString(), versionText.GetPosition(),
                   versionText.GetSize(), wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END),
      version_(versionText), timer_(this) {
    wxStaticText::Hide();
    MarkAsNotice(*this);
    Bind(wxEVT_TIMER, &NoticeLine::OnTimer, this);
}

void NoticeLine::Show(const std::string& notice) {
    // Hidden first, so that a notice replacing another is announced too.
    wxStaticText::Hide();
    SetLabelText(wxString::FromUTF8(notice));
    // A notice cut short by the line's width is there whole on hovering.
    SetToolTip(wxString::FromUTF8(notice));
    version_.Hide();
    wxStaticText::Show();
    timer_.StartOnce(kNoticeMs);
}

void NoticeLine::Clear() {
    timer_.Stop();
    if (!IsShown())
        return;
    wxStaticText::Hide();
    version_.Show();
}

void NoticeLine::OnTimer(wxTimerEvent&) {
    Clear();
}
