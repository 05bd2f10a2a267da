#pragma once

#include <vector>

#include <wx/control.h>

#include "ShownEntries.h"

typedef struct _GtkTreeView GtkTreeView;

// The list of entries: GTK's own tree view, so that screen readers read it as
// a table of rows with their texts and the keys and the mouse work as in any
// list, but with rows read from the window's items only when shown (see
// EntryListModel) instead of a copy of every text in a toolkit store. Single
// selection; rows are numbered from 0 as the items are. A double-click on a
// row sends wxEVT_LISTBOX_DCLICK with the row.
class EntryListView : public wxControl {
public:
    EntryListView() = default;

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size,
                long style);

    // Shows all of `items`, which stay at the same address while shown; an
    // empty pointer shows nothing. The selection goes.
    void ShowItems(const std::vector<ShownEntry>* items);
    // Follows the shown items having changed by `changes`; past a point
    // showing them afresh is quicker than telling every row.
    void ShowChanges(const std::vector<EntryListChange>& changes);

    unsigned GetCount() const;
    wxString GetString(unsigned row) const;
    // The selected row, or wxNOT_FOUND.
    int GetSelection() const;
    // Selects the row and scrolls it into view; wxNOT_FOUND selects none.
    void SetSelection(int row);
    // Scrolls the row into view, leaving the selection as it is.
    void ScrollToRow(unsigned row);

protected:
    GtkWidget* GetConnectWidget() override;
    GdkWindow* GTKGetWindow(wxArrayGdkWindows& windows) const override;
    void DoApplyWidgetStyle(GtkRcStyle* style) override;

private:
    GtkTreeView* view_ = nullptr;
    const std::vector<ShownEntry>* items_ = nullptr;
};
