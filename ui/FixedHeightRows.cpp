#include "FixedHeightRows.h"

#include <gtk/gtk.h>

void UseFixedHeightRows(wxListBox& list) {
    GtkTreeView* view = list.m_treeview;
    if (!view)
        return;
    for (guint i = 0; i < gtk_tree_view_get_n_columns(view); ++i)
        gtk_tree_view_column_set_sizing(gtk_tree_view_get_column(view, static_cast<gint>(i)),
                                        GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_set_fixed_height_mode(view, TRUE);
}
