#include "FixedHeightRows.h"

#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

void UseFixedHeightRows([[maybe_unused]] wxListBox& list) {
#ifdef __WXGTK__
    // wxListBox keeps its GtkTreeView in a public member on wxGTK; checked
    // against wxWidgets 3.2.2. Other ports lay out their rows natively.
    GtkTreeView* view = list.m_treeview;
    if (!view)
        return;
    for (guint i = 0; i < gtk_tree_view_get_n_columns(view); ++i)
        gtk_tree_view_column_set_sizing(gtk_tree_view_get_column(view, static_cast<gint>(i)),
                                        GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_set_fixed_height_mode(view, TRUE);
#endif
}
