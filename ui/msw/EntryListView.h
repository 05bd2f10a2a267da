#pragma once

#include <vector>

#include <wx/listctrl.h>

#include "ShownEntries.h"

// The list of entries: Windows' own list view in virtual report mode, one
// column and no header, so that screen readers read it as a list of rows
// with their texts and the keys and the mouse work as in any list, but with
// a row's text made from the window's items only when the view draws or
// reads it. Single selection; rows are numbered from 0 as the items are. A
// double-click on a row (or Enter on it) sends wxEVT_LISTBOX_DCLICK with the
// row.
class EntryListView : public wxListCtrl {
public:
    EntryListView() = default;

    bool Create(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size,
                long style);

    // Shows all of `items`, which stay at the same address while shown; an
    // empty pointer shows nothing. The selection goes.
    void ShowItems(const std::vector<ShownEntry>* items);
    // Follows the shown items having changed by `changes`.
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
    wxString OnGetItemText(long row, long column) const override;

private:
    void FillWidth();

    const std::vector<ShownEntry>* items_ = nullptr;
};
