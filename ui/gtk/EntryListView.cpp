#include "EntryListView.h"

#include <gtk/gtk.h>

#include "EntryListModel.h"

bool EntryListView::Create(wxWindow* parent, wxWindowID id, const wxPoint& position,
                           const wxSize& size, long style) {
    if (!PreCreation(parent, position, size) ||
        !CreateBase(parent, id, position, size, style, wxDefaultValidator, "entryList"))
        return false;
    // Built as wxGTK 3.2.2 builds a list box, so that it looks and reads the
    // same: a scrolled window around a header-less tree view of one column.
    m_widget = gtk_scrolled_window_new(nullptr, nullptr);
    g_object_ref(m_widget);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(m_widget), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    GTKScrolledWindowSetBorder(m_widget, static_cast<int>(style));
    view_ = GTK_TREE_VIEW(gtk_tree_view_new());
    gtk_tree_view_set_headers_visible(view_, FALSE);
    gtk_tree_view_insert_column_with_attributes(view_, -1, "", gtk_cell_renderer_text_new(), "text",
                                                0, nullptr);
    // Every row is one line of the same font: with fixed heights the view
    // measures one row instead of every row of the diary.
    gtk_tree_view_column_set_sizing(gtk_tree_view_get_column(view_, 0), GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_set_fixed_height_mode(view_, TRUE);
    gtk_tree_view_set_enable_search(view_, FALSE);
    // A row once chosen stays chosen until another is: clicking it again or
    // Ctrl+Space does not leave the list without a selection.
    gtk_tree_selection_set_mode(gtk_tree_view_get_selection(view_), GTK_SELECTION_BROWSE);
    // A double-click on a row is the list's double-click event, as in a list box.
    g_signal_connect(
        view_, "row-activated",
        G_CALLBACK(+[](GtkTreeView*, GtkTreePath* path, GtkTreeViewColumn*, EntryListView* list) {
            wxCommandEvent event(wxEVT_LISTBOX_DCLICK, list->GetId());
            event.SetEventObject(list);
            event.SetInt(gtk_tree_path_get_indices(path)[0]);
            list->HandleWindowEvent(event);
        }),
        this);
    // A right click chooses the row under the pointer before its menu opens,
    // so that the menu's Edit and Delete act on the row that was clicked.
    g_signal_connect(view_, "button-press-event",
                     G_CALLBACK(+[](GtkTreeView* view, GdkEventButton* press, gpointer) {
                         GtkTreePath* path = nullptr;
                         if (press->type == GDK_BUTTON_PRESS && press->button == 3 &&
                             gtk_tree_view_get_path_at_pos(view, static_cast<int>(press->x),
                                                           static_cast<int>(press->y), &path,
                                                           nullptr, nullptr, nullptr)) {
                             gtk_tree_view_set_cursor(view, path, nullptr, FALSE);
                             gtk_tree_path_free(path);
                         }
                         return FALSE;
                     }),
                     nullptr);
    gtk_container_add(GTK_CONTAINER(m_widget), GTK_WIDGET(view_));
    gtk_widget_show(GTK_WIDGET(view_));
    m_focusWidget = GTK_WIDGET(view_);
    m_parent->DoAddChild(this);
    PostCreation(size);
    return true;
}

void EntryListView::ShowItems(const std::vector<ShownEntry>* items) {
    items_ = items;
    GtkTreeModel* model = items ? NewEntryListModel(*items) : nullptr;
    gtk_tree_view_set_model(view_, model);
    if (model)
        g_object_unref(model);
}

void EntryListView::ShowChanges(const std::vector<EntryListChange>& changes) {
    GtkTreeModel* model = gtk_tree_view_get_model(view_);
    if (!model)
        return;
    // The view keeps a node per row however the rows come; a fresh model
    // costs one pass over them, telling a change costs a search per row.
    if (RefillIsCheaper(changes, items_->size()))
        ShowItems(items_);
    else
        ShowEntryListChanges(model, changes);
}

unsigned EntryListView::GetCount() const {
    GtkTreeModel* model = gtk_tree_view_get_model(view_);
    return model ? static_cast<unsigned>(gtk_tree_model_iter_n_children(model, nullptr)) : 0;
}

wxString EntryListView::GetString(unsigned row) const {
    if (row >= GetCount())
        return {};
    return wxString::FromUTF8(EntryItemText((*items_)[row].record));
}

int EntryListView::GetSelection() const {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(view_), &model, &iter))
        return wxNOT_FOUND;
    GtkTreePath* path = gtk_tree_model_get_path(model, &iter);
    const int row = gtk_tree_path_get_indices(path)[0];
    gtk_tree_path_free(path);
    return row;
}

void EntryListView::SetSelection(int row) {
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view_);
    if (row == wxNOT_FOUND || static_cast<unsigned>(row) >= GetCount()) {
        gtk_tree_selection_unselect_all(selection);
        return;
    }
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_selection_select_path(selection, path);
    gtk_tree_view_scroll_to_cell(view_, path, nullptr, FALSE, 0.0f, 0.0f);
    gtk_tree_path_free(path);
}

void EntryListView::ScrollToRow(unsigned row) {
    if (row >= GetCount())
        return;
    // A view not yet shown scrolls once it is.
    GtkTreePath* path = gtk_tree_path_new_from_indices(static_cast<int>(row), -1);
    gtk_tree_view_scroll_to_cell(view_, path, nullptr, FALSE, 0.0f, 0.0f);
    gtk_tree_path_free(path);
}

GtkWidget* EntryListView::GetConnectWidget() {
    // Clicks and keys go to the rows, not to the scrolled window around them.
    return GTK_WIDGET(view_);
}

GdkWindow* EntryListView::GTKGetWindow(wxArrayGdkWindows&) const {
    return gtk_tree_view_get_bin_window(view_);
}

void EntryListView::DoApplyWidgetStyle(GtkRcStyle* style) {
    GTKApplyStyle(GTK_WIDGET(view_), style);
}
