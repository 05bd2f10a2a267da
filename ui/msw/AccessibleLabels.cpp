#include "AccessibleLabels.h"

#include <wx/access.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clntdata.h>
#include <wx/control.h>
#include <wx/textentry.h>
#include <wx/weakref.h>

namespace {

// What a screen reader is told about one control beyond what Windows' own
// object for it says: everything not set here is still answered by the
// control's standard object, which wxWidgets falls back to.
class TellingAccessible : public wxAccessible {
public:
    explicit TellingAccessible(wxWindow* window) : wxAccessible(window) {}

    wxString name;
    wxString description;
    bool notice = false;

    wxAccStatus GetName(int childId, wxString* text) override {
        if (childId != wxACC_SELF || name.empty())
            return wxACC_NOT_IMPLEMENTED;
        *text = name;
        return wxACC_OK;
    }

    wxAccStatus GetDescription(int childId, wxString* text) override {
        if (childId != wxACC_SELF || description.empty())
            return wxACC_NOT_IMPLEMENTED;
        *text = description;
        return wxACC_OK;
    }

    wxAccStatus GetRole(int childId, wxAccRole* role) override {
        if (childId != wxACC_SELF || !notice)
            return wxACC_NOT_IMPLEMENTED;
        *role = wxROLE_SYSTEM_ALERT;
        return wxACC_OK;
    }
};

TellingAccessible& Telling(wxWindow& window) {
    if (auto* telling = dynamic_cast<TellingAccessible*>(window.GetAccessible()))
        return *telling;
    auto* telling = new TellingAccessible(&window);
    window.SetAccessible(telling);
    return *telling;
}

// Where a label's mnemonic sends the focus. Windows itself would send it to
// the next control in tab order after the label, which in the dialog
// template is not always the control the label names.
class MnemonicTarget : public wxClientData {
public:
    explicit MnemonicTarget(wxWindow& window) : target(&window) {}
    wxWeakRef<wxWindow> target;
};

// The letter the label's mnemonic is, upper case, or 0.
wxChar MnemonicOf(const wxString& label) {
    // The index is into the text the label shows, its ampersands gone.
    wxString shown;
    const int index = wxControl::FindAccelIndex(label, &shown);
    if (index < 0 || static_cast<std::size_t>(index) >= shown.length())
        return 0;
    return static_cast<wxChar>(wxToupper(shown[static_cast<std::size_t>(index)]));
}

bool Usable(const wxWindow& window) {
    return window.IsShownOnScreen() && window.IsEnabled();
}

// Does what the mnemonic of `window` does, if the key is its mnemonic.
bool Activate(wxWindow& window, wxChar key) {
    if (!Usable(window) || MnemonicOf(window.GetLabel()) != key)
        return false;
    if (auto* target = dynamic_cast<MnemonicTarget*>(window.GetClientObject())) {
        if (!target->target || !Usable(*target->target))
            return false;
        target->target->SetFocus();
        // As Windows' dialog manager does for an edit reached from the
        // keyboard: what is typed next replaces the text, not adds to it.
        if (auto* entry = dynamic_cast<wxTextEntry*>(target->target.get()))
            entry->SelectAll();
        return true;
    }
    if (auto* check = dynamic_cast<wxCheckBox*>(&window)) {
        check->SetFocus();
        check->SetValue(!check->GetValue());
        wxCommandEvent toggled(wxEVT_CHECKBOX, check->GetId());
        toggled.SetEventObject(check);
        toggled.SetInt(check->GetValue() ? 1 : 0);
        check->ProcessWindowEvent(toggled);
        return true;
    }
    if (auto* button = dynamic_cast<wxButton*>(&window)) {
        wxCommandEvent pressed(wxEVT_BUTTON, button->GetId());
        pressed.SetEventObject(button);
        button->ProcessWindowEvent(pressed);
        return true;
    }
    return false;
}

bool ActivateWithin(wxWindow& parent, wxChar key) {
    for (wxWindow* child : parent.GetChildren()) {
        if (child->IsTopLevel())
            continue;
        if (Activate(*child, key) || ActivateWithin(*child, key))
            return true;
    }
    return false;
}

} // namespace

void LabelControls(wxWindow& label, std::initializer_list<wxWindow*> controls,
                   wxWindow& focusTarget) {
    // Windows names a control after the static text before it in tab order,
    // which in the template is not always the one beside it: the name is
    // told outright.
    const wxString name = wxControl::RemoveMnemonics(label.GetLabel());
    for (wxWindow* control : controls)
        Telling(*control).name = name;
    label.SetClientObject(new MnemonicTarget(focusTarget));
}

bool ActivateMnemonic(wxWindow& topLevel, const wxKeyEvent& event) {
    if (event.GetModifiers() != wxMOD_ALT)
        return false;
    const int key = event.GetKeyCode();
    if (!(key >= 'A' && key <= 'Z') && !(key >= '0' && key <= '9'))
        return false;
    return ActivateWithin(topLevel, static_cast<wxChar>(key));
}

void LabelNothing(wxWindow& text) {
    // Windows names a control without a name of its own after the static
    // text before it; every control after such a text here has a name, its
    // own or one told it, so only the mnemonic is undone.
    text.SetClientObject(nullptr);
}

void MarkAsNotice(wxWindow& text) {
    Telling(text).notice = true;
    // Screen readers read an alert as it comes up, not the text appearing.
    text.Bind(wxEVT_SHOW, [&text](wxShowEvent& event) {
        if (event.IsShown())
            wxAccessible::NotifyEvent(wxACC_EVENT_SYSTEM_ALERT, &text, wxOBJID_CLIENT,
                                      wxACC_SELF);
        event.Skip();
    });
}

void NameForScreenReaders(wxWindow& control, const wxString& name) {
    TellingAccessible& telling = Telling(control);
    if (telling.name == name)
        return;
    telling.name = name;
    // A name that follows what the user does (the chart's line) is read out
    // again as it changes.
    wxAccessible::NotifyEvent(wxACC_EVENT_OBJECT_NAMECHANGE, &control, wxOBJID_CLIENT, wxACC_SELF);
}

void DescribeForScreenReaders(wxWindow& control, const wxString& description) {
    Telling(control).description = description;
}
