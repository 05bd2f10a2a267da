#include "AccessibleLabels.h"

#include <gtk/gtk.h>

#include <wx/combo.h>
#include <wx/datectrl.h>
#include <wx/textctrl.h>

#include <vector>

namespace {

// The GTK widgets a control is made of that a screen reader meets: a list is
// a scrolled window around a tree view, the date picker a panel around a combo
// around an entry. Checked against wxWidgets 3.2.2.
std::vector<GtkWidget*> AccessibleParts(wxWindow& control) {
    std::vector<GtkWidget*> parts{control.GetHandle()};
    if (GtkWidget* handle = control.GetHandle(); GTK_IS_SCROLLED_WINDOW(handle)) {
        parts.push_back(gtk_bin_get_child(GTK_BIN(handle)));
    } else if (dynamic_cast<wxDatePickerCtrl*>(&control)) {
        for (wxWindow* child : control.GetChildren()) {
            if (auto* combo = dynamic_cast<wxComboCtrl*>(child)) {
                parts.push_back(combo->GetHandle());
                if (combo->GetTextCtrl())
                    parts.push_back(combo->GetTextCtrl()->GetHandle());
            }
        }
    }
    return parts;
}

// The mnemonic target itself, for a control whose focus lies inside it.
GtkWidget* FocusWidget(wxWindow& control) {
    return AccessibleParts(control).back();
}

GtkLabel* LabelWidget(wxWindow& label) {
    GtkWidget* widget = label.GetHandle();
    if (GTK_IS_FRAME(widget))
        widget = gtk_frame_get_label_widget(GTK_FRAME(widget));
    return GTK_IS_LABEL(widget) ? GTK_LABEL(widget) : nullptr;
}

AtkObject* Accessible(GtkWidget* widget) {
    return gtk_widget_get_accessible(widget);
}

void RemoveRelations(AtkObject* object, AtkRelationType type) {
    AtkRelationSet* relations = atk_object_ref_relation_set(object);
    if (AtkRelation* relation = atk_relation_set_get_relation_by_type(relations, type))
        atk_relation_set_remove(relations, relation);
    g_object_unref(relations);
}

} // namespace

void LabelControls(wxWindow& label, std::initializer_list<wxWindow*> controls,
                   wxWindow& focusTarget) {
    GtkLabel* text = LabelWidget(label);
    if (!text)
        return;
    // GTK relates the label and its mnemonic widget by itself.
    gtk_label_set_mnemonic_widget(text, FocusWidget(focusTarget));
    const gchar* name = gtk_label_get_text(text);
    AtkObject* labelObject = Accessible(GTK_WIDGET(text));
    for (wxWindow* control : controls) {
        for (GtkWidget* part : AccessibleParts(*control)) {
            AtkObject* object = Accessible(part);
            atk_object_set_name(object, name);
            atk_object_add_relationship(object, ATK_RELATION_LABELLED_BY, labelObject);
            atk_object_add_relationship(labelObject, ATK_RELATION_LABEL_FOR, object);
        }
    }
}

bool ActivateMnemonic(wxWindow& topLevel, const wxKeyEvent& event) {
    if (event.GetModifiers() != wxMOD_ALT)
        return false;
    GtkWidget* window = topLevel.GetHandle();
    if (!GTK_IS_WINDOW(window))
        return false;
    const guint key = gdk_keyval_to_lower(event.GetRawKeyCode());
    return gtk_window_mnemonic_activate(GTK_WINDOW(window), key, GDK_MOD1_MASK);
}

void LabelNothing(wxWindow& text) {
    if (GtkLabel* label = LabelWidget(text)) {
        if (GtkWidget* target = gtk_label_get_mnemonic_widget(label))
            RemoveRelations(Accessible(target), ATK_RELATION_LABELLED_BY);
        gtk_label_set_mnemonic_widget(label, nullptr);
        RemoveRelations(Accessible(GTK_WIDGET(label)), ATK_RELATION_LABEL_FOR);
    }
}

void MarkAsNotice(wxWindow& text) {
    atk_object_set_role(Accessible(text.GetHandle()), ATK_ROLE_NOTIFICATION);
}

void NameForScreenReaders(wxWindow& control, const wxString& name) {
    atk_object_set_name(Accessible(control.GetHandle()), name.utf8_str());
}

void DescribeForScreenReaders(wxWindow& control, const wxString& description) {
    atk_object_set_description(Accessible(control.GetHandle()), description.utf8_str());
}
