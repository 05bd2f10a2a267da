#pragma once

#include <vector>

#include <gtk/gtk.h>

#include "ShownEntries.h"

// The entry list's rows as GTK's tree view asks for them: read straight from
// the items the window keeps, one text column, a row's path being its index;
// a row's text is formatted from its record when the view asks for it.
// A row costs nothing until it is drawn or a screen reader reads it, so a
// diary of decades is shown at once and only the visible rows are formatted
// into the toolkit's strings.

// A model of all of `items`, which must outlive it and stay at the same
// address; its changes reach the model only through ShowEntryListChanges.
// The caller owns the returned reference.
GtkTreeModel* NewEntryListModel(const std::vector<ShownEntry>& items);

// Tells the model's views that its items changed by `changes`, as
// ApplyRecordChange gives them: the rows in between are not touched.
void ShowEntryListChanges(GtkTreeModel* model, const std::vector<EntryListChange>& changes);

// Whether filling the list afresh with the wanted rows costs GTK's view less
// than being told the changes one by one.
bool RefillIsCheaper(const std::vector<EntryListChange>& changes, std::size_t wantedRows);
