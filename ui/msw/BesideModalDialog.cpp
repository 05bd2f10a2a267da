#include "BesideModalDialog.h"

#include <wx/dialog.h>
#include <wx/modalhook.h>
#include <wx/weakref.h>

namespace {

// Every modal dialog disables the other top-level windows while it runs,
// the ones opened from it later excepted; the window is enabled again once
// each dialog has done so, and stays so while the dialog runs.
class KeepEnabled : public wxModalDialogHook {
public:
    explicit KeepEnabled(wxTopLevelWindow& window) : window_(&window) {}

protected:
    int Enter(wxDialog* dialog) override {
        // A dialog of the window's own still holds it, as any modal dialog
        // holds its parent.
        if (window_ && wxGetTopLevelParent(dialog->GetParent()) != window_.get())
            window_->CallAfter([window = window_] {
                if (window)
                    window->Enable();
            });
        return wxID_NONE;
    }

private:
    wxWeakRef<wxTopLevelWindow> window_;
};

} // namespace

void TakeInputBesideModalDialog(wxTopLevelWindow& window) {
    // Opened while the main dialog runs modal, the window may have been
    // counted among those it disabled.
    window.Enable();
    auto* hook = new KeepEnabled(window);
    hook->Register();
    window.Bind(wxEVT_DESTROY, [hook, &window](wxWindowDestroyEvent& event) {
        if (event.GetEventObject() == &window)
            delete hook;
        event.Skip();
    });
}
