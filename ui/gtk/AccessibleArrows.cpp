#include "AccessibleArrows.h"

#include <gtk/gtk.h>
#include <wx/nativewin.h>

#include "StepsSpinButton.h"

namespace {

// The theme's least button size would not fit half of the arrows.
constexpr const char* kUnseenButtonStyle =
    "button { min-width: 0; min-height: 0; padding: 0; margin: 0; border-width: 0; }";

void LeaveTheMouseToTheArrows(GtkWidget* button, gpointer) {
    if (GdkWindow* input = gtk_button_get_event_window(GTK_BUTTON(button)))
        gdk_window_hide(input);
}

void StepFromAccessibleButton(GtkButton*, gpointer data) {
    auto* arrow = static_cast<wxWindow*>(data);
    auto* spin = static_cast<StepsSpinButton*>(arrow->GetParent());
    spin->Step(arrow->GetId() == wxID_UP ? +1 : -1);
}

// A GTK push button with that accessible name that nobody sees and the mouse
// passes through: the arrows look and behave as they are drawn, and a screen
// reader still has a button to find and press.
wxWindow* NewAccessibleArrow(wxWindow* parent, wxWindowID id, const char* name) {
    GtkWidget* button = gtk_button_new();
    gtk_widget_set_can_focus(button, FALSE);
    gtk_widget_set_opacity(button, 0.0);
    GtkCssProvider* style = gtk_css_provider_new();
    gtk_css_provider_load_from_data(style, kUnseenButtonStyle, -1, nullptr);
    gtk_style_context_add_provider(gtk_widget_get_style_context(button), GTK_STYLE_PROVIDER(style),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(style);
    atk_object_set_name(gtk_widget_get_accessible(button), name);
    g_signal_connect_after(button, "map", G_CALLBACK(LeaveTheMouseToTheArrows), nullptr);
    auto* arrow = new wxNativeWindow(parent, id, button);
    g_signal_connect(button, "clicked", G_CALLBACK(StepFromAccessibleButton), arrow);
    return arrow;
}

} // namespace

std::pair<wxWindow*, wxWindow*> NewAccessibleArrows(StepsSpinButton& spin) {
    // Tab passes the arrows by, as it did; the keys in the edit step instead.
    gtk_widget_set_can_focus(spin.GetHandle(), FALSE);
    wxWindow* increase = NewAccessibleArrow(&spin, wxID_UP, "Increase steps");
    wxWindow* decrease = NewAccessibleArrow(&spin, wxID_DOWN, "Decrease steps");
    // wxWidgets hands a click to the child window under the pointer; the
    // arrows are drawn and pressed by the spin button, so the clicks go back.
    for (wxWindow* arrow : {increase, decrease}) {
        for (const auto& type : {wxEVT_LEFT_DOWN, wxEVT_LEFT_DCLICK, wxEVT_LEFT_UP}) {
            arrow->Bind(type, [&spin, arrow](wxMouseEvent& event) {
                wxMouseEvent forwarded(event);
                forwarded.SetPosition(event.GetPosition() + arrow->GetPosition());
                forwarded.SetEventObject(&spin);
                spin.ProcessWindowEvent(forwarded);
            });
        }
    }
    return {increase, decrease};
}
