#pragma once

#include <string>

#include <wx/stattext.h>
#include <wx/timer.h>

// The dialog's bottom line, where the version stands, also tells what went
// wrong: a notice takes the version's place, in the same spot and size, so
// that nothing moves, until it is cleared or some seconds have passed.
// Screen readers announce each notice as it appears.
class NoticeLine : public wxStaticText {
public:
    // Takes the place of `versionText`, which shows while there is no notice.
    explicit NoticeLine(wxStaticText& versionText);

    void Show(const std::string& notice);
    void Clear();

private:
    void OnTimer(wxTimerEvent& event);

    wxStaticText& version_;
    wxTimer timer_;
};
