#include "BesideModalDialog.h"

#include <gtk/gtk.h>

void TakeInputBesideModalDialog(wxTopLevelWindow& window) {
    // A modal GTK window grabs the input of the windows of its group, which
    // is every window unless told otherwise: a group of its own keeps this
    // one out of the grab.
    GtkWindowGroup* group = gtk_window_group_new();
    gtk_window_group_add_window(group, GTK_WINDOW(window.GetHandle()));
    g_object_unref(group);
}
