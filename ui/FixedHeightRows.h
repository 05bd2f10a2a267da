#pragma once

#include <wx/listbox.h>

// Lets GTK lay out the list's rows without measuring each one: all rows of a
// list box have the same height, and measuring them makes tens of thousands
// of entries take seconds to show.
void UseFixedHeightRows(wxListBox& list);
