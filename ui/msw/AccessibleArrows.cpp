#include "AccessibleArrows.h"

#include <wx/access.h>
#include <wx/spinbutt.h>

#include "StepsSpinButton.h"

namespace {

// The native control keeps a position of its own, which would stop it at
// the ends of its range; it is held in the middle, every step refused, and
// the number lives in the edit alone.
constexpr int kRange = 100;

// Windows names an up-down control after its window text, which is never
// shown and here is empty: it is read with the name of the steps control it
// lies in, which is the label's. Its role and its arrows are Windows' own.
class ArrowsAccessible : public wxAccessible {
public:
    explicit ArrowsAccessible(wxWindow* arrows) : wxAccessible(arrows) {}

    wxAccStatus GetName(int childId, wxString* name) override {
        wxWindow* spin = GetWindow()->GetParent();
        wxAccessible* spinAccessible = spin ? spin->GetAccessible() : nullptr;
        if (childId != wxACC_SELF || !spinAccessible)
            return wxACC_NOT_IMPLEMENTED;
        return spinAccessible->GetName(wxACC_SELF, name);
    }
};

} // namespace

std::pair<wxWindow*, wxWindow*> NewAccessibleArrows(StepsSpinButton& spin) {
    // Windows' own up-down control fits the space and is read by screen
    // readers as two buttons that can be pressed; it lies over the drawn
    // arrows and takes their clicks, repeating while held as they do.
    auto* arrows = new wxSpinButton(&spin, wxID_ANY, wxDefaultPosition, spin.GetClientSize(),
                                    wxSP_VERTICAL);
    arrows->SetRange(-kRange, kRange);
    arrows->SetValue(0);
    // Tab passes the arrows by, as it does the drawn ones; the keys in the
    // edit step instead.
    arrows->DisableFocusFromKeyboard();
    arrows->SetAccessible(new ArrowsAccessible(arrows));
    const auto step = [&spin](wxSpinEvent& event, long delta) {
        spin.Step(delta);
        event.Veto();
    };
    arrows->Bind(wxEVT_SPIN_UP, [step](wxSpinEvent& event) { step(event, +1); });
    arrows->Bind(wxEVT_SPIN_DOWN, [step](wxSpinEvent& event) { step(event, -1); });
    spin.Bind(wxEVT_SIZE, [&spin, arrows](wxSizeEvent& event) {
        arrows->SetSize(spin.GetClientSize());
        event.Skip();
    });
    // No window per arrow: the control's own buttons are the ones read.
    return {nullptr, nullptr};
}
