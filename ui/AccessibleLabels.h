#pragma once

#include <wx/event.h>
#include <wx/string.h>
#include <wx/window.h>

// What screen readers are told about the dialog's controls, where the toolkit
// port does not tell it by itself (wxGTK only ties a static text to the
// control made after it, Windows to the static text before it in tab order).
// Each port has its own file: ui/gtk/ for wxGTK, ui/msw/ for wxMSW.

// Makes `label` (a static text or a group box) the label of each control:
// the controls are read with the label's text as their name, the label and
// each control point at each other (label-for, labelled-by), and the
// label's mnemonic, where it has one, moves the focus to `focusTarget`.
void LabelControls(wxWindow& label, std::initializer_list<wxWindow*> controls,
                   wxWindow& focusTarget);

// Presses the control whose mnemonic the key is, if it is Alt and a letter:
// true when there was one. The edits would otherwise take the key first and
// drop it as no digit.
bool ActivateMnemonic(wxWindow& topLevel, const wxKeyEvent& event);

// A text that labels nothing, whatever control follows it.
void LabelNothing(wxWindow& text);

// Marks the text as the place where notices appear, so that a screen reader
// announces it whenever it is shown.
void MarkAsNotice(wxWindow& text);

// What a screen reader reads for a control that has no label of its own,
// such as a figure: its name, and a longer description.
void NameForScreenReaders(wxWindow& control, const wxString& name);
void DescribeForScreenReaders(wxWindow& control, const wxString& description);
