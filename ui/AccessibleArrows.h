#pragma once

#include <utility>

#include <wx/window.h>

class StepsSpinButton;

// The spin button draws its arrows itself; a screen reader still needs a
// button for each to find, name and press. Gives the spin button a child
// window over each arrow that is such a button, nobody sees and the mouse
// passes through to the arrows: the one over the upper arrow first. A port
// whose own up-down control is read as two such buttons lays that over the
// arrows instead and gives no window per arrow (two null pointers). Each
// toolkit port has its own file: ui/gtk/ for wxGTK, ui/msw/ for wxMSW.
std::pair<wxWindow*, wxWindow*> NewAccessibleArrows(StepsSpinButton& spin);
