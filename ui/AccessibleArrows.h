#pragma once

#include <utility>

#include <wx/window.h>

class StepsSpinButton;

// The spin button draws its arrows itself; a screen reader still needs a
// button for each to find, name and press. Gives the spin button a child
// window over each arrow that is such a button, nobody sees and the mouse
// passes through to the arrows: the one over the upper arrow first. Each
// toolkit port has its own file: ui/gtk/ for wxGTK.
std::pair<wxWindow*, wxWindow*> NewAccessibleArrows(StepsSpinButton& spin);
