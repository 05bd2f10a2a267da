#include "CStepLogDlg.h"

#include <chrono>
#include <system_error>

#include <wx/button.h>
#include <wx/gdicmn.h>
#include <wx/icon.h>
#include <wx/stattext.h>
#include <wx/utils.h>
#include <wx/valtext.h>
#include <wx/xrc/xmlres.h>

#include "ControlIds.h"
#include "DiaryCommands.h"
#include "DiaryWatch.h"
#include "EditText.h"
#include "FixedHeightRows.h"
#include "HelpPage.h"
#include "HtmlReport.h"
#include "StepReport.h"
#include "StepsSpinButton.h"
#include "trekline.xpm"

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

std::chrono::year_month_day ToCalendarDate(const wxDateTime& date) {
    return std::chrono::year_month_day(
        std::chrono::year(date.GetYear()),
        std::chrono::month(static_cast<unsigned>(date.GetMonth()) + 1),
        std::chrono::day(date.GetDay()));
}

std::filesystem::path CurrentDirectory() {
    std::error_code error;
    std::filesystem::path directory = std::filesystem::current_path(error);
    return error ? std::filesystem::path() : directory;
}

int ChartDepth() {
    return DisplayBitsPerPixel(wxDisplayDepth());
}

} // namespace

wxBEGIN_EVENT_TABLE(CStepLogDlg, wxDialog)
    EVT_BUTTON(kAddButtonId, CStepLogDlg::OnAdd)
    EVT_BUTTON(kDeleteButtonId, CStepLogDlg::OnDelete)
    EVT_BUTTON(kReportButtonId, CStepLogDlg::OnSaveHtmlReport)
    EVT_BUTTON(kHelpButtonId, CStepLogDlg::OnHelp)
    EVT_CHAR_HOOK(CStepLogDlg::OnCharHook)
    EVT_CLOSE(CStepLogDlg::OnClose)
wxEND_EVENT_TABLE()

CStepLogDlg::CStepLogDlg(wxWindow* parent) : CStepLogDlg(CurrentDirectory(), parent) {}

CStepLogDlg::CStepLogDlg(const std::filesystem::path& directory, wxWindow* parent)
    : files_(DiaryFilesIn(directory)), diary_(files_) {
    LoadResourcesOnce();
    wxXmlResource::Get()->LoadDialog(this, parent, "StepLogDialog");
    SetClientSize(ConvertDialogToPixels(wxSize(320, 214)));
    SetIcon(wxIcon(trekline_xpm));

    datePicker_ = BindControl<wxDatePickerCtrl>(this, "date_picker", kDatePickerId);
    stepsEdit_ = BindControl<wxTextCtrl>(this, "steps_edit", kStepsEditId);
    BindControl<wxButton>(this, "add_button", kAddButtonId);
    entryList_ = BindControl<wxListBox>(this, "entry_list", kEntryListId);
    BindControl<wxButton>(this, "delete_button", kDeleteButtonId);
    BindControl<wxButton>(this, "report_button", kReportButtonId);
    stepLengthEdit_ = BindControl<wxTextCtrl>(this, "step_length_edit", kStepLengthEditId);
    chartValuesCheck_ = BindControl<wxCheckBox>(this, "chart_values_check", kChartValuesCheckId);
    BindControl<wxStaticText>(this, "version_text", kVersionTextId);
    BindControl<wxButton>(this, "help_button", kHelpButtonId);

    stepsSpin_ = new StepsSpinButton(this, kStepsSpinId, stepsEdit_, kSpinMinimum, kSpinMaximum);
    stepsSpin_->SetSize(
        wxRect(ConvertDialogToPixels(kStepsSpinPosition), ConvertDialogToPixels(kStepsSpinSize)));

    // Typing is kept to digits as in the edits' first design; a paste may
    // still bring anything, which the steps text reading copes with.
    stepsEdit_->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    stepLengthEdit_->SetValidator(wxTextValidator(wxFILTER_DIGITS));
    stepsEdit_->ChangeValue("1");
    // The local date, which is the user's today even near midnight.
    datePicker_->SetValue(wxDateTime::Today());
    stepLengthEdit_->ChangeValue("100");
    chartValuesCheck_->SetValue(false);

    UseFixedHeightRows(*entryList_);
    RefreshList();
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

void CStepLogDlg::RefreshList() {
    const int selected = entryList_->GetSelection();
    std::optional<std::vector<EntryListChange>> changes = diary_.Reload();
    if (!changes)
        return;
    ShowListChanges(*changes);
    // GTK hands the selection of a removed row to a neighbour, which the user
    // never chose.
    std::optional<std::size_t> row;
    if (selected != wxNOT_FOUND)
        row = RowAfterChanges(*changes, static_cast<std::size_t>(selected));
    const int wanted = row ? static_cast<int>(*row) : wxNOT_FOUND;
    if (entryList_->GetSelection() != wanted)
        entryList_->SetSelection(wanted);
}

void CStepLogDlg::ShowListChanges(const std::vector<EntryListChange>& changes) {
    const std::vector<EntryItem>& items = diary_.Items();
    auto texts = [&items](std::size_t first, std::size_t count) {
        wxArrayString shown;
        shown.reserve(count);
        for (std::size_t i = first; i < first + count; ++i)
            shown.push_back(wxString::FromUTF8(items[i].text));
        return shown;
    };
    // Only the rows that differ are replaced: refilling a list of decades of
    // entries after each change would take the toolkit longer than
    // everything else together.
    if (RefillIsCheaper(changes, items.size())) {
        entryList_->Clear();
        if (!items.empty())
            entryList_->Insert(texts(0, items.size()), 0);
        return;
    }
    for (const EntryListChange& change : changes) {
        const auto row = static_cast<unsigned>(change.wantedFirst);
        for (std::size_t i = 0; i < change.removed; ++i)
            entryList_->Delete(row);
        if (change.inserted > 0)
            entryList_->Insert(texts(change.wantedFirst, change.inserted), row);
    }
}

CStepLogDlg::~CStepLogDlg() = default;

void CStepLogDlg::OnAdd(wxCommandEvent&) {
    // A count that cannot be stored, a date the picker does not have or a file
    // that cannot be written adds nothing; a bell says so without a message.
    std::optional<std::uint32_t> steps = ParseStepsText(stepsEdit_->GetValue().utf8_string());
    const wxDateTime date = datePicker_->GetValue();
    if (!steps || !date.IsValid() || !AddEntry(files_, *steps, ToCalendarDate(date)))
        wxBell();
    RefreshList();
}

void CStepLogDlg::OnDelete(wxCommandEvent&) {
    const int index = entryList_->GetSelection();
    if (index == wxNOT_FOUND || static_cast<std::size_t>(index) >= diary_.Items().size())
        return;
    // Only the record the user saw goes: one that another window changed or
    // replaced under the same identifier stays, and the list shows it.
    const StepRecord listed = diary_.Items()[static_cast<std::size_t>(index)].record;
    if (DeleteListedEntry(files_, listed) != DeleteOutcome::removed)
        wxBell();
    RefreshList();
    // Whichever row went, none is selected: a second press must not remove
    // an entry the user did not choose.
    entryList_->SetSelection(wxNOT_FOUND);
}

void CStepLogDlg::OnSaveHtmlReport(wxCommandEvent&) {
    // The chart and the page show what the list shows, and the list shows
    // the diary as it is now.
    if (diary_.FileChanged())
        RefreshList();
    if (diary_.Items().empty())
        return;
    try {
        std::vector<std::uint32_t> identifiers;
        identifiers.reserve(diary_.Items().size());
        for (const EntryItem& item : diary_.Items())
            identifiers.push_back(item.record.identifier);
        ReportData data = LoadReportData(files_, identifiers);
        // A diary that could not be read must not replace a good report.
        if (!data.complete || data.entries.empty())
            return;
        // The picture is drawn at the depth of the display the dialog is on.
        SaveChartPicture(files_, data, chartValuesCheck_->IsChecked(), ChartDepth());
        WriteHtmlReport(data.entries);
    } catch (const std::bad_alloc&) {
        // Without memory for the chart there is no report; the diary is untouched.
    }
}

void CStepLogDlg::WriteHtmlReport(const std::vector<StepRecord>& entries) {
    const std::uint32_t stepLength = ParseStepLength(stepLengthEdit_->GetValue().utf8_string());
    // A page that could not be written whole is not shown: the browser would
    // show an old or cut-short page as if it were this one.
    if (WriteHtmlReportFile(files_.page, entries, stepLength))
        openDocument_(files_.page.string());
}

void CStepLogDlg::OnHelp(wxCommandEvent&) {
    ShowHelp();
}

void CStepLogDlg::ShowHelp() {
    const std::filesystem::path page = HelpPagePath();
    if (page.empty())
        wxBell();
    else
        openDocument_(page.string());
}

void CStepLogDlg::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
    case WXK_F1:
        // wxGTK makes no help event of F1, so the key is taken here.
        ShowHelp();
        return;
    case WXK_ESCAPE:
        // Escape never closes the window: a stray key press must not end it.
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        // Enter ends the dialog with OK wherever the focus is, except on a
        // push button, which Enter presses.
        if (IsModal() && !dynamic_cast<wxButton*>(FindFocus())) {
            EndModal(wxID_OK);
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
