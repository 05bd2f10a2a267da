#include "CStepLogDlg.h"

#include <chrono>
#include <iostream>
#include <system_error>
#include <variant>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/gdicmn.h>
#include <wx/icon.h>
#include <wx/iconbndl.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/utils.h>
#include <wx/valtext.h>
#include <wx/xrc/xmlres.h>

#include "AccessibleLabels.h"
#include "AddedNotice.h"
#include "ControlIds.h"
#include "CsvExport.h"
#include "DataHome.h"
#include "DiaryCommands.h"
#include "DiaryWatch.h"
#include "EditEntryDialog.h"
#include "EditText.h"
#include "EntryDate.h"
#include "EntryForm.h"
#include "EntryListXrcHandler.h"
#include "HelpPage.h"
#include "ImportCommand.h"
#include "ImportDropTarget.h"
#include "ImportPreviewDialog.h"
#include "ImportProgressWindow.h"
#include "InputFile.h"
#include "NoticeLine.h"
#include "ReportCommand.h"
#include "Settings.h"
#include "ShownRows.h"
#include "StepReport.h"
#include "StepsSpinButton.h"
#include "TypedDate.h"
#ifndef __WXMSW__
#include "trekline.xpm"
#endif

// Made by wxrc from StepLogDialog.xrc.
void InitStepLogDialogResource();

namespace {

constexpr long kSpinMinimum = 1;
constexpr long kSpinMaximum = 64000000;
// Right of the steps edit, in dialog units like the template.
const wxPoint kStepsSpinPosition(300, 20);
const wxSize kStepsSpinSize(11, 14);

void LoadResourcesOnce() {
    static const bool loaded = [] {
        wxXmlResource::Get()->InitAllHandlers();
        wxXmlResource::Get()->AddHandler(new EntryListXrcHandler);
        InitStepLogDialogResource();
        return true;
    }();
    (void)loaded;
}

// Finds a control of the template and gives it its established id.
template <typename Control> Control* BindControl(wxWindow* dialog, const char* name, int id) {
    auto* control = dynamic_cast<Control*>(dialog->FindWindow(wxXmlResource::GetXRCID(name)));
    wxCHECK_MSG(control, nullptr, wxString("dialog template lacks ") + name);
    control->SetId(id);
    return control;
}

int ChartDepth() {
    return DisplayBitsPerPixel(wxDisplayDepth());
}

// Whether the keyboard focus is on the control or on a part of it, such as
// the entry inside the date picker or the tree inside the list.
bool HasFocusWithin(const wxWindow& control) {
    for (const wxWindow* window = wxWindow::FindFocus(); window; window = window->GetParent())
        if (window == &control)
            return true;
    return false;
}

// Does what a click on the dialog's button with that id does.
void PressButton(wxWindow& dialog, int id) {
    wxCommandEvent press(wxEVT_BUTTON, id);
    press.SetEventObject(dialog.FindWindow(id));
    dialog.ProcessWindowEvent(press);
}

} // namespace

wxBEGIN_EVENT_TABLE(CStepLogDlg, wxDialog)
    EVT_BUTTON(kAddButtonId, CStepLogDlg::OnAdd)
    EVT_BUTTON(kDeleteButtonId, CStepLogDlg::OnDelete)
    EVT_BUTTON(kReportButtonId, CStepLogDlg::OnSaveHtmlReport)
    EVT_BUTTON(kHelpButtonId, CStepLogDlg::OnHelp)
    EVT_BUTTON(kOverviewCommandId, CStepLogDlg::OnOverview)
    EVT_MENU(kOverviewCommandId, CStepLogDlg::OnOverview)
    EVT_MENU(kImportCommandId, CStepLogDlg::OnImportCommand)
    EVT_MENU(kExportCommandId, CStepLogDlg::OnExportCommand)
    EVT_MENU(kDeleteButtonId, CStepLogDlg::OnDelete)
    EVT_MENU(kEditCommandId, CStepLogDlg::OnEdit)
    EVT_MENU(kUndoCommandId, CStepLogDlg::OnUndo)
    EVT_MENU(kRedoCommandId, CStepLogDlg::OnRedo)
    EVT_CHAR_HOOK(CStepLogDlg::OnCharHook)
    EVT_CLOSE(CStepLogDlg::OnClose)
wxEND_EVENT_TABLE()

CStepLogDlg::CStepLogDlg(wxWindow* parent) : CStepLogDlg(FindDiaryDirectory(false).path, parent) {}

CStepLogDlg::CStepLogDlg(const std::filesystem::path& directory, wxWindow* parent)
    : files_(DiaryFilesIn(directory)), diary_(files_) {
    LoadResourcesOnce();
    wxXmlResource::Get()->LoadDialog(this, parent, "StepLogDialog");
    SetClientSize(ConvertDialogToPixels(wxSize(320, 214)));
#ifdef __WXMSW__
    // The program file's own icon group (res/windows/trekline.rc), so the
    // title bar and the taskbar each take the size they draw at.
    SetIcons(wxIconBundle("#128", nullptr));
#else
    SetIcon(wxIcon(trekline_xpm));
#endif

    datePicker_ = BindControl<wxDatePickerCtrl>(this, "date_picker", kDatePickerId);
    stepsEdit_ = BindControl<wxTextCtrl>(this, "steps_edit", kStepsEditId);
    BindControl<wxButton>(this, "add_button", kAddButtonId);
    entryList_ = BindControl<EntryListView>(this, "entry_list", kEntryListId);
    BindControl<wxButton>(this, "delete_button", kDeleteButtonId);
    BindControl<wxButton>(this, "report_button", kReportButtonId);
    stepLengthEdit_ = BindControl<wxTextCtrl>(this, "step_length_edit", kStepLengthEditId);
    chartValuesCheck_ = BindControl<wxCheckBox>(this, "chart_values_check", kChartValuesCheckId);
    auto* versionText = BindControl<wxStaticText>(this, "version_text", kVersionTextId);
    BindControl<wxButton>(this, "help_button", kHelpButtonId);
    BindControl<wxButton>(this, "overview_button", kOverviewCommandId);

    stepsSpin_ = new StepsSpinButton(this, kStepsSpinId, stepsEdit_, kSpinMinimum, kSpinMaximum);
    stepsSpin_->SetSize(
        wxRect(ConvertDialogToPixels(kStepsSpinPosition), ConvertDialogToPixels(kStepsSpinSize)));
    notice_ = new NoticeLine(*versionText);
    // wxGTK ties each static text to the control after it in tab order when
    // it first idles; the labels are set right once it has.
    Bind(wxEVT_IDLE, &CStepLogDlg::OnFirstIdle, this);

    // Typing is kept to digits as in the edits' first design; a paste may
    // still bring anything, which the steps text reading copes with.
    stepsEdit_->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    stepLengthEdit_->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    stepsEdit_->ChangeValue("1");
    // The local date, which is the user's today even near midnight.
    datePicker_->SetValue(wxDateTime::Today());
    typedDate_ = std::make_unique<TypedDate>(*datePicker_);
    settings_ = std::make_unique<Settings>();
    stepLengthEdit_->ChangeValue(settings_->StepLengthText());
    chartValuesCheck_->SetValue(settings_->ChartValues());
    // Kept as they change, so that a window ended any way at all has kept them.
    stepLengthEdit_->Bind(wxEVT_TEXT, [this](wxCommandEvent& event) {
        settings_->KeepStepLength(stepLengthEdit_->GetValue().utf8_string());
        event.Skip();
    });
    chartValuesCheck_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent& event) {
        settings_->KeepChartValues(chartValuesCheck_->IsChecked());
        event.Skip();
    });

    entryList_->ShowItems(&diary_.Items());
    entryList_->Bind(wxEVT_CONTEXT_MENU, &CStepLogDlg::OnListContextMenu, this);
    entryList_->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) {
        wxCommandEvent edit(wxEVT_MENU, kEditCommandId);
        ProcessWindowEvent(edit);
    });
    const auto importDropped = [this](const std::vector<std::filesystem::path>& paths) {
        ImportFiles(paths);
    };
    // The list is a drop site of its own in GTK; files dropped anywhere else
    // in the window are taken too.
    SetDropTarget(new ImportDropTarget(importDropped));
    entryList_->SetDropTarget(new ImportDropTarget(importDropped));
    Tell(RefreshList());
    // The list opens on the latest days, the ones a user adds to.
    if (const std::optional<std::size_t> latest = RowOfLatestDate(diary_.Items()))
        entryList_->ScrollToRow(static_cast<unsigned>(*latest));
    watch_ = std::make_unique<DiaryWatch>(*this, files_, [this] {
        if (diary_.FileChanged())
            RefreshList();
    });
    // The file watcher hooks into the event loop, which runs only once the
    // dialog is shown.
    CallAfter([this] { watch_->Start(); });
    // The form starts where it is read: with the date.
    datePicker_->SetFocus();
}

void CStepLogDlg::OnFirstIdle(wxIdleEvent& event) {
    Unbind(wxEVT_IDLE, &CStepLogDlg::OnFirstIdle, this);
    LabelControlsForScreenReaders();
    event.Skip();
}

void CStepLogDlg::LabelControlsForScreenReaders() {
    const auto label = [this](const char* name) -> wxWindow& {
        return *FindWindow(wxXmlResource::GetXRCID(name));
    };
    LabelControls(label("steps_label"), {stepsEdit_, stepsSpin_}, *stepsEdit_);
    LabelControls(label("date_label"), {datePicker_}, *datePicker_);
    LabelControls(label("step_length_label"), {stepLengthEdit_}, *stepLengthEdit_);
    LabelControls(label("data_group"), {entryList_}, *entryList_);
    LabelNothing(*FindWindow(kVersionTextId));
    LabelNothing(*notice_);
}

void CStepLogDlg::Tell(const CommandOutcome& outcome) {
    if (outcome.Succeeded())
        return;
    notice_->Show(outcome.notice);
    std::cerr << "trekline: " << outcome.log << '\n';
}

CommandOutcome CStepLogDlg::RefreshList(const std::optional<DiaryChangeSeen>& own) {
    const int selected = entryList_->GetSelection();
    CommandOutcome why;
    std::optional<std::vector<EntryListChange>> changes = diary_.FollowOwnChange(own, &why);
    if (!changes)
        return why;
    entryList_->ShowChanges(*changes);
    // GTK hands the selection of a removed row to a neighbour, which the user
    // never chose.
    std::optional<std::size_t> row;
    if (selected != wxNOT_FOUND)
        row = RowAfterChanges(*changes, static_cast<std::size_t>(selected));
    const int wanted = row ? static_cast<int>(*row) : wxNOT_FOUND;
    if (entryList_->GetSelection() != wanted)
        entryList_->SetSelection(wanted);
    if (overview_)
        overview_->FollowChanges(*changes, diary_.Items());
    return {};
}

CStepLogDlg::~CStepLogDlg() {
    // The list reads its rows from diary_, which goes before the list does.
    entryList_->ShowItems(nullptr);
}

void CStepLogDlg::OnAdd(wxCommandEvent&) {
    notice_->Clear();
    const std::variant<FormEntry, CommandOutcome> form =
        ReadEntryForm(*stepsEdit_, *typedDate_, *datePicker_, "the entry was not added");
    CommandOutcome added;
    std::optional<DiaryChangeSeen> seen;
    if (const FormEntry* entry = std::get_if<FormEntry>(&form)) {
        added = AddEntry(files_, entry->steps, entry->date, &seen);
        if (added.Succeeded()) {
            StepRecord record;
            record.steps = entry->steps;
            SetEntryDate(record, entry->date);
            history_.Record(ChangeName("Add", record), seen);
        }
    } else {
        added = std::get<CommandOutcome>(form);
    }
    // What the command met comes first; a list that then cannot be read, next.
    const CommandOutcome listed = RefreshList(seen);
    Tell(added.Succeeded() ? listed : added);
    if (!added.Succeeded() || !listed.Succeeded() || !seen || seen->added.empty())
        return;
    // The entry is shown where the list put it, with what its day comes to.
    const StepRecord& record = seen->added.front();
    if (const std::optional<std::size_t> row = RowOfRecord(diary_.Items(), record)) {
        entryList_->SetSelection(static_cast<int>(*row));
        notice_->Show(AddedNotice(diary_.Items(), record));
    }
}

void CStepLogDlg::OnDelete(wxCommandEvent&) {
    notice_->Clear();
    // Only the record the user saw goes: one that another window changed or
    // replaced under the same identifier stays, and the list shows it.
    const std::optional<StepRecord> listed = SelectedEntry();
    if (!listed) {
        Tell({"Select an entry in the list first: nothing was deleted.", "delete without a row"});
        return;
    }
    CommandOutcome deleted;
    std::optional<DiaryChangeSeen> seen;
    if (DeleteListedEntry(files_, *listed, &deleted, &seen) == DeleteOutcome::removed)
        history_.Record(ChangeName("Delete", *listed), seen);
    const CommandOutcome listedNow = RefreshList(seen);
    // Whichever row went, none is selected: a second press must not remove
    // an entry the user did not choose.
    entryList_->SetSelection(wxNOT_FOUND);
    Tell(deleted.Succeeded() ? listedNow : deleted);
}

void CStepLogDlg::OnSaveHtmlReport(wxCommandEvent&) {
    notice_->Clear();
    // The chart and the page show what the list shows, and the list shows
    // the diary as it is now.
    if (diary_.FileChanged())
        Tell(RefreshList());
    std::vector<std::uint32_t> identifiers;
    identifiers.reserve(diary_.Items().size());
    for (const ShownEntry& item : diary_.Items())
        identifiers.push_back(item.record.identifier);
    const std::uint32_t stepLength = ParseStepLength(stepLengthEdit_->GetValue().utf8_string());
    // The picture is drawn at the depth of the display the dialog is on.
    const CommandOutcome saved =
        SaveReport(files_, identifiers, stepLength, chartValuesCheck_->IsChecked(), ChartDepth());
    Tell(saved);
    // A page that could not be written whole is not shown: the browser would
    // show an old or cut-short page as if it were this one.
    if (saved.Succeeded())
        openDocument_(files_.page.string());
}

void CStepLogDlg::OnHelp(wxCommandEvent&) {
    ShowHelp();
}

void CStepLogDlg::ShowHelp() {
    notice_->Clear();
    const std::filesystem::path page = HelpPagePath();
    if (page.empty())
        Tell({"The help page is not installed beside the program.", "no help page found"});
    else
        openDocument_(page.string());
}

void CStepLogDlg::OnImportCommand(wxCommandEvent&) {
    notice_->Clear();
    if (std::optional<std::filesystem::path> path = chooseFile_(FileChoice::kImport))
        ImportFile(*path);
}

void CStepLogDlg::ImportFiles(const std::vector<std::filesystem::path>& paths) {
    for (const std::filesystem::path& path : paths)
        ImportFile(path);
}

void CStepLogDlg::ImportFile(const std::filesystem::path& path) {
    notice_->Clear();
    const std::string name = OfferedFileName(path);
    CommandOutcome why;
    std::optional<ImportPreview> preview;
    {
        ImportProgressWindow progress(this, name);
        preview = PreviewImport(files_, path, progress.Callback(), why);
    }
    if (!preview) {
        Tell(why);
        return;
    }
    const std::optional<ConflictChoice> choice = ImportPreviewDialog(this, name, *preview).Ask();
    if (!choice)
        return;
    ImportMerge done;
    std::optional<DiaryChangeSeen> seen;
    const CommandOutcome imported =
        ImportRows(files_, preview->steps.rows, *choice, &done, &preview->merge.conflicts, &seen);
    if (imported.Succeeded() && !done.edit.IsEmpty())
        history_.Record("Import of " + name, seen);
    const CommandOutcome listed = RefreshList();
    if (!imported.Succeeded() || !listed.Succeeded()) {
        Tell(imported.Succeeded() ? listed : imported);
        return;
    }
    notice_->Show("Imported " + name + ": " +
                  DescribeImport(done, *choice, preview->steps.RejectedCount()) + ".");
}

void CStepLogDlg::OnExportCommand(wxCommandEvent&) {
    notice_->Clear();
    const std::optional<std::filesystem::path> target = chooseFile_(FileChoice::kExport);
    if (!target)
        return;
    const CommandOutcome exported = ExportCsv(files_, *target);
    if (!exported.Succeeded()) {
        Tell(exported);
        return;
    }
    notice_->Show("The diary was exported to " + target->filename().string() + ".");
}

void CStepLogDlg::OnOverview(wxCommandEvent&) {
    // One overview: asking again brings the open one forward.
    if (overview_ && !overview_->IsBeingDeleted()) {
        overview_->Raise();
        return;
    }
    auto* overview = new OverviewWindow(this, *settings_);
    overview->ShowFigures(diary_.Items());
    // Beside the dialog, on its right where the screen has room, else on its left.
    const wxRect dialog = GetScreenRect();
    const int display = wxDisplay::GetFromWindow(this);
    const wxRect screen =
        wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
    const wxSize size = overview->GetSize();
    const int gap = FromDIP(8);
    int x = dialog.GetRight() + gap;
    if (x + size.x > screen.GetRight() && dialog.x - gap - size.x >= screen.x)
        x = dialog.x - gap - size.x;
    overview->Move(x, std::max(screen.y, std::min(dialog.y, screen.GetBottom() - size.y)));
    overview_ = overview;
    overview->Show();
}

void CStepLogDlg::OnListContextMenu(wxContextMenuEvent&) {
    wxMenu menu;
    const std::optional<std::string> undo = history_.UndoName();
    const std::optional<std::string> redo = history_.RedoName();
    menu.Append(kUndoCommandId, wxString::FromUTF8("&Undo " + undo.value_or("")) + "\tCtrl+Z")
        ->Enable(undo.has_value());
    menu.Append(kRedoCommandId, wxString::FromUTF8("&Redo " + redo.value_or("")) + "\tCtrl+Y")
        ->Enable(redo.has_value());
    menu.AppendSeparator();
    // The ellipses are UTF-8, which Windows would read as its own code page.
    menu.Append(kImportCommandId, wxString::FromUTF8("&Import…\tCtrl+I"));
    menu.Append(kExportCommandId, wxString::FromUTF8("&Export as CSV…\tCtrl+E"));
    menu.AppendSeparator();
    const bool selected = entryList_->GetSelection() != wxNOT_FOUND;
    menu.Append(kEditCommandId, wxString::FromUTF8("E&dit…\tF2"))->Enable(selected);
    menu.Append(kDeleteButtonId, "&Delete")->Enable(selected);
    menu.AppendSeparator();
    menu.Append(kOverviewCommandId, wxString::FromUTF8("&Overview…"));
    PopupMenu(&menu);
}

std::optional<StepRecord> CStepLogDlg::SelectedEntry() const {
    const int index = entryList_->GetSelection();
    if (index == wxNOT_FOUND || static_cast<std::size_t>(index) >= diary_.Items().size())
        return std::nullopt;
    return diary_.Items()[static_cast<std::size_t>(index)].record;
}

void CStepLogDlg::SelectEntry(std::uint32_t identifier) {
    const std::vector<ShownEntry>& items = diary_.Items();
    for (std::size_t row = 0; row < items.size(); ++row)
        if (items[row].record.identifier == identifier) {
            entryList_->SetSelection(static_cast<int>(row));
            return;
        }
}

void CStepLogDlg::OnEdit(wxCommandEvent&) {
    notice_->Clear();
    const std::optional<StepRecord> listed = SelectedEntry();
    if (!listed) {
        Tell({"Select an entry in the list first: nothing was changed.", "edit without a row"});
        return;
    }
    std::optional<std::variant<FormEntry, CommandOutcome>> form =
        EditEntryDialog(this, *listed).Ask();
    if (!form)
        return;
    CommandOutcome edited;
    std::optional<DiaryChangeSeen> seen;
    if (const FormEntry* entry = std::get_if<FormEntry>(&*form)) {
        edited = EditListedEntry(files_, *listed, entry->steps, entry->date, &seen);
        if (edited.Succeeded())
            history_.Record(ChangeName("Edit", *listed), seen);
    } else {
        edited = std::get<CommandOutcome>(*form);
    }
    const CommandOutcome listedNow = RefreshList(seen);
    SelectEntry(listed->identifier);
    Tell(edited.Succeeded() ? listedNow : edited);
}

void CStepLogDlg::OnUndo(wxCommandEvent&) {
    StepThroughHistory(/*undo=*/true);
}

void CStepLogDlg::OnRedo(wxCommandEvent&) {
    StepThroughHistory(/*undo=*/false);
}

void CStepLogDlg::StepThroughHistory(bool undo) {
    notice_->Clear();
    const std::optional<std::string> name = undo ? history_.UndoName() : history_.RedoName();
    if (!name)
        return;
    const CommandOutcome done = undo ? history_.Undo(files_) : history_.Redo(files_);
    const CommandOutcome listed = RefreshList();
    if (!done.Succeeded() || !listed.Succeeded())
        Tell(done.Succeeded() ? listed : done);
    else
        notice_->Show((undo ? "Undone: " : "Redone: ") + *name + ".");
}

void CStepLogDlg::OpenWithDesktop(const std::string& path) {
    // The handler's end is heard on another thread; the notice is shown on
    // this one, if the dialog is still there.
    const std::weak_ptr<bool> alive = alive_;
    const int startError = OpenWithDefaultHandler(path, [this, alive, path](int status) {
        if (status == 0)
            return;
        wxTheApp->CallAfter([this, alive, path, status] {
            if (alive.lock())
                Tell(OpenFailure(files_, path, 0, status));
        });
    });
    if (startError != 0)
        Tell(OpenFailure(files_, path, startError, 0));
}

void CStepLogDlg::OnCharHook(wxKeyEvent& event) {
    // Keys of the dialogs this window opens come up here too; they keep them.
    if (wxWindow* focus = FindFocus(); focus && wxGetTopLevelParent(focus) != this) {
        event.Skip();
        return;
    }
    if (ActivateMnemonic(*this, event))
        return;
    const int modifiers = event.GetModifiers();
    if (modifiers == wxMOD_CONTROL || modifiers == (wxMOD_CONTROL | wxMOD_SHIFT)) {
        // Taken before the edits see them, which would treat them as text keys.
        const int key = event.GetKeyCode();
        const bool shift = modifiers & wxMOD_SHIFT;
        int command = 0;
        if (key == 'Z')
            command = shift ? kRedoCommandId : kUndoCommandId;
        else if (!shift)
            command = key == 'I'   ? kImportCommandId
                      : key == 'E' ? kExportCommandId
                      : key == 'Y' ? kRedoCommandId
                                   : 0;
        if (command != 0) {
            wxCommandEvent chosen(wxEVT_MENU, command);
            ProcessWindowEvent(chosen);
            return;
        }
    }
    switch (event.GetKeyCode()) {
    case WXK_F1:
        // wxGTK makes no help event of F1, so the key is taken here.
        ShowHelp();
        return;
    case WXK_F2: {
        wxCommandEvent edit(wxEVT_MENU, kEditCommandId);
        ProcessWindowEvent(edit);
        return;
    }
    case WXK_ESCAPE:
        // Escape never closes the window: a stray key press must not end it.
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        // Enter never ends the window, where a stray press would close the
        // diary. On a push button it presses it. (In the calendar that drops
        // down from the date picker, a window of its own, it never gets here.)
        if (dynamic_cast<wxButton*>(FindFocus()))
            break;
        // In the form it adds what was typed.
        if (HasFocusWithin(*stepsEdit_) || HasFocusWithin(*datePicker_))
            PressButton(*this, kAddButtonId);
        return;
    case WXK_DELETE:
    case WXK_NUMPAD_DELETE:
        // In the list the key takes the selected entry out, as the button
        // does; in the edits it deletes text.
        if (event.GetModifiers() == wxMOD_NONE && HasFocusWithin(*entryList_)) {
            PressButton(*this, kDeleteButtonId);
            return;
        }
        break;
    default:
        break;
    }
    event.Skip();
}

void CStepLogDlg::OnClose(wxCloseEvent& event) {
    if (IsModal())
        EndModal(wxID_CANCEL);
    else
        event.Skip();
}
