#pragma once

#include <wx/toplevel.h>

// Lets a window of its own take keys and clicks while the main dialog runs
// modal, as the main dialog does for the program's whole life. Each port
// has its own file: ui/gtk/ for wxGTK, ui/msw/ for wxMSW.
void TakeInputBesideModalDialog(wxTopLevelWindow& window);
