#include "ImportPreviewDialog.h"

#include <wx/button.h>
#include <wx/dataview.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "AccessibleLabels.h"
#include "ControlIds.h"
#include "ExportValues.h"

namespace {

// Enough lines to show what is wrong with a file; the command line lists all.
constexpr std::size_t kRejectedShown = 5;

wxString Counts(const std::string& fileName, const ImportPreview& preview) {
    const ImportMerge& merge = preview.merge;
    wxString text =
        wxString::FromUTF8(fileName) + " (" + wxString::FromUTF8(preview.steps.format) + ")\n\n";
    text += wxString::Format("New entries: %zu\n", merge.added);
    text += wxString::Format("Dates already in the diary: %zu\n", merge.unchanged);
    text += wxString::Format("Conflicting dates: %zu\n", merge.conflicts.size());
    text += wxString::Format("Rows that cannot be read: %zu", preview.steps.RejectedCount());
    for (std::size_t i = 0; i < preview.steps.rejected.size() && i < kRejectedShown; ++i) {
        const RejectedRow& row = preview.steps.rejected[i];
        text += "\n    ";
        if (row.line > 0)
            text += wxString::Format("line %zu: ", row.line);
        text += wxString::FromUTF8(row.reason);
    }
    return text;
}

} // namespace

ImportPreviewDialog::ImportPreviewDialog(wxWindow* parent, const std::string& fileName,
                                         const ImportPreview& preview)
    : wxDialog(parent, wxID_ANY, "Import " + wxString::FromUTF8(fileName), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* counts = new wxStaticText(this, wxID_ANY, Counts(fileName, preview));
    column->Add(counts, wxSizerFlags().Border(wxALL, 12));

    const bool hasConflicts = !preview.merge.conflicts.empty();
    if (hasConflicts) {
        auto* label = new wxStaticText(
            this, wxID_ANY, "On these dates the diary and the file hold different steps:");
        auto* table = new wxDataViewListCtrl(this, wxID_ANY, wxDefaultPosition,
                                             FromDIP(wxSize(360, 160)), wxDV_ROW_LINES);
        table->AppendTextColumn("Date", wxDATAVIEW_CELL_INERT, FromDIP(120));
        table->AppendTextColumn("Diary", wxDATAVIEW_CELL_INERT, FromDIP(110), wxALIGN_RIGHT);
        table->AppendTextColumn("File", wxDATAVIEW_CELL_INERT, FromDIP(110), wxALIGN_RIGHT);
        for (const DateConflict& conflict : preview.merge.conflicts) {
            wxVector<wxVariant> row;
            row.push_back(IsoDateText(conflict.date));
            row.push_back(
                wxString::Format("%llu", static_cast<unsigned long long>(conflict.diaryTotal)));
            row.push_back(
                wxString::Format("%llu", static_cast<unsigned long long>(conflict.fileTotal)));
            table->AppendItem(row);
        }
        column->Add(label, wxSizerFlags().Border(wxLEFT | wxRIGHT, 12));
        column->Add(table, wxSizerFlags(1).Expand().Border(wxALL, 12));
        CallAfter([label, table] { LabelControls(*label, {table}, *table); });
    }

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    auto* import = new wxButton(this, wxID_OK, "&Import");
    auto* useFile = new wxButton(this, kUseFileForConflictsId, "&Use the file's for conflicts");
    useFile->Enable(hasConflicts);
    buttons->Add(import, wxSizerFlags().Border(wxRIGHT, 6));
    buttons->Add(useFile, wxSizerFlags().Border(wxRIGHT, 6));
    buttons->Add(new wxButton(this, wxID_CANCEL, "Cancel"));
    column->Add(buttons, wxSizerFlags().Right().Border(wxALL, 12));
    import->SetDefault();
    import->SetFocus();
    useFile->Bind(wxEVT_BUTTON, &ImportPreviewDialog::OnUseFile, this);
    SetSizerAndFit(column);
    CentreOnParent();
}

void ImportPreviewDialog::OnUseFile(wxCommandEvent&) {
    EndModal(kUseFileForConflictsId);
}

std::optional<ConflictChoice> ImportPreviewDialog::Ask() {
    switch (ShowModal()) {
    case wxID_OK:
        return ConflictChoice::kKeepDiary;
    case kUseFileForConflictsId:
        return ConflictChoice::kUseFile;
    default:
        return std::nullopt;
    }
}
