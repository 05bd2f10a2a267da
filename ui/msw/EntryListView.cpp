#include "EntryListView.h"

namespace {

// The template gives the list the styles of a list box, whose bits mean
// other things to a list view; only the window's own (border, scrolling,
// keys) are kept.
constexpr long kControlStyleBits = 0xffff;

} // namespace

bool EntryListView::Create(wxWindow* parent, wxWindowID id, const wxPoint& position,
                           const wxSize& size, long style) {
    const long listStyle = (style & ~kControlStyleBits) | wxLC_REPORT | wxLC_VIRTUAL |
                           wxLC_SINGLE_SEL | wxLC_NO_HEADER;
    if (!wxListCtrl::Create(parent, id, position, size, listStyle, wxDefaultValidator,
                            "entryList"))
        return false;
    AppendColumn(wxString());
    // One column as wide as the rows' room: no header to drag, no sideways
    // scrolling for texts that fit.
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        FillWidth();
        event.Skip();
    });
    // The view activates a row on a double-click and on Enter, as GTK's does;
    // both are the list's double-click, as in a list box.
    Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& activated) {
        wxCommandEvent event(wxEVT_LISTBOX_DCLICK, GetId());
        event.SetEventObject(this);
        event.SetInt(static_cast<int>(activated.GetIndex()));
        HandleWindowEvent(event);
    });
    FillWidth();
    return true;
}

void EntryListView::ShowItems(const std::vector<ShownEntry>* items) {
    SetSelection(wxNOT_FOUND);
    items_ = items;
    // A virtual view keeps only the count, a row's state and the rows in
    // sight: as quick for a diary of decades as for an empty one.
    SetItemCount(items ? static_cast<long>(items->size()) : 0);
    Refresh();
    FillWidth();
}

void EntryListView::ShowChanges(const std::vector<EntryListChange>& changes) {
    if (!items_ || changes.empty())
        return;
    // The view asks again for the rows it shows, which costs the same
    // whether one row changed or all of them; the selection stays on its
    // index and the window moves it to the row it belongs to.
    SetItemCount(static_cast<long>(items_->size()));
    Refresh();
    FillWidth();
}

unsigned EntryListView::GetCount() const {
    return items_ ? static_cast<unsigned>(GetItemCount()) : 0;
}

wxString EntryListView::GetString(unsigned row) const {
    if (row >= GetCount() || row >= items_->size())
        return {};
    return wxString::FromUTF8(EntryItemText((*items_)[row].record));
}

int EntryListView::GetSelection() const {
    const long row = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    return row < 0 ? wxNOT_FOUND : static_cast<int>(row);
}

void EntryListView::SetSelection(int row) {
    if (row == wxNOT_FOUND || static_cast<unsigned>(row) >= GetCount()) {
        if (const int selected = GetSelection(); selected != wxNOT_FOUND)
            SetItemState(selected, 0, wxLIST_STATE_SELECTED);
        return;
    }
    // The focus moves along, so that the arrow keys go on from the row
    // chosen rather than from the one last clicked.
    constexpr long kChosen = wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED;
    SetItemState(row, kChosen, kChosen);
    EnsureVisible(row);
}

void EntryListView::ScrollToRow(unsigned row) {
    if (row < GetCount())
        EnsureVisible(static_cast<long>(row));
}

wxString EntryListView::OnGetItemText(long row, long) const {
    if (!items_ || row < 0 || static_cast<std::size_t>(row) >= items_->size())
        return {};
    return wxString::FromUTF8(EntryItemText((*items_)[static_cast<std::size_t>(row)].record));
}

void EntryListView::FillWidth() {
    // The client width leaves out the vertical scroll bar once there is one.
    const int width = GetClientSize().x;
    if (width > 0 && GetColumnWidth(0) != width)
        SetColumnWidth(0, width);
}
