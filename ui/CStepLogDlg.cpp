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
    : files_(DiaryFilesIn(directory)) {
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
    // The form starts where it is read: with the date.
    datePicker_->SetFocus();
}

void CStepLogDlg::RefreshList() {
    std::optional<std::vector<EntryItem>> items = LoadEntryItems(files_);
    if (!items)
        return;
    // The list shows the file's entries afresh, but only the rows that differ
    // are replaced: refilling a list of decades of entries after each Add
    // would take the toolkit longer than everything else together.
    const EntryListChange change = DiffEntryItems(shownItems_, *items);
    entryList_->SetSelection(wxNOT_FOUND);
    if (change.removed == entryList_->GetCount()) {
        entryList_->Clear();
    } else {
        for (std::size_t i = 0; i < change.removed; ++i)
            entryList_->Delete(static_cast<unsigned>(change.first));
    }
    if (change.inserted > 0) {
        wxArrayString texts;
        texts.reserve(change.inserted);
        for (std::size_t i = change.first; i < change.first + change.inserted; ++i)
            texts.push_back(wxString::FromUTF8((*items)[i].text));
        entryList_->Insert(texts, static_cast<unsigned>(change.first));
    }
    shownItems_ = std::move(*items);
}

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
    if (index == wxNOT_FOUND || static_cast<std::size_t>(index) >= shownItems_.size())
        return;
    DeleteEntry(files_, shownItems_[static_cast<std::size_t>(index)].identifier);
    RefreshList();
}

void CStepLogDlg::OnSaveHtmlReport(wxCommandEvent&) {
    if (shownItems_.empty())
        return;
    try {
        std::vector<std::uint32_t> identifiers;
        identifiers.reserve(shownItems_.size());
        for (const EntryItem& item : shownItems_)
            identifiers.push_back(item.identifier);
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
