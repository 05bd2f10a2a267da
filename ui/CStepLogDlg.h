#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include <wx/checkbox.h>
#include <wx/datectrl.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>
#include <wx/weakref.h>

#include "CommandOutcome.h"
#include "DiaryFiles.h"
#include "DocumentOpener.h"
#include "EntryListView.h"
#include "FileChoosers.h"
#include "OverviewWindow.h"
#include "ShownDiary.h"
#include "StepRecord.h"
#include "UndoHistory.h"

class DiaryWatch;
class NoticeLine;
class Settings;
class StepsSpinButton;
class TypedDate;

// The main window: the entry form, the list of all entries and the report
// controls. Every command works on the diary in the directory the dialog was
// made in, whatever the current directory becomes later.
class CStepLogDlg : public wxDialog {
public:
    // The diary in the current directory.
    explicit CStepLogDlg(wxWindow* parent = nullptr);
    explicit CStepLogDlg(const std::filesystem::path& directory, wxWindow* parent = nullptr);
    ~CStepLogDlg() override;

    // Where the diary's and the report's files are.
    const std::filesystem::path& StartDirectory() const { return files_.directory; }

    // Shows the file's entries, changing only the rows that differ; the
    // selection stays on its entry while the entry is there. When the file
    // cannot be opened the list stays as it is and the outcome says why.
    // After a change of our own, `own` is what the store saw it do, which
    // spares reading the whole file again when no one else wrote meanwhile.
    CommandOutcome RefreshList(const std::optional<DiaryChangeSeen>& own = std::nullopt);

    // What shows the report page and the help page; the desktop's default
    // handler unless replaced.
    void SetDocumentOpener(DocumentOpener opener) { openDocument_ = std::move(opener); }

    // What asks the user for a file to import or export to; the desktop's
    // file choosers unless replaced.
    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

    // Imports each file in turn, each read with progress and previewed
    // before it changes the diary: what Ctrl+I and dropping files do.
    void ImportFiles(const std::vector<std::filesystem::path>& paths);

    // Shows a failure in the bottom line and on standard error; a success
    // shows nothing.
    void Tell(const CommandOutcome& outcome);

private:
    void OnAdd(wxCommandEvent& event);
    void OnDelete(wxCommandEvent& event);
    void OnEdit(wxCommandEvent& event);
    void OnUndo(wxCommandEvent& event);
    void OnRedo(wxCommandEvent& event);
    // Undoes or redoes the last change, shows the list and says which change.
    void StepThroughHistory(bool undo);
    void OnSaveHtmlReport(wxCommandEvent& event);
    void OnHelp(wxCommandEvent& event);
    void OnImportCommand(wxCommandEvent& event);
    void OnExportCommand(wxCommandEvent& event);
    void OnOverview(wxCommandEvent& event);
    void OnListContextMenu(wxContextMenuEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnClose(wxCloseEvent& event);

    void ShowHelp();
    void ImportFile(const std::filesystem::path& path);
    void OpenWithDesktop(const std::string& path);
    void OnFirstIdle(wxIdleEvent& event);
    void LabelControlsForScreenReaders();
    // The shown entry the list has selected, if any.
    std::optional<StepRecord> SelectedEntry() const;
    // Selects the row of the entry with that identifier and scrolls it into view.
    void SelectEntry(std::uint32_t identifier);

    wxDatePickerCtrl* datePicker_ = nullptr;
    std::unique_ptr<TypedDate> typedDate_;
    wxTextCtrl* stepsEdit_ = nullptr;
    StepsSpinButton* stepsSpin_ = nullptr;
    EntryListView* entryList_ = nullptr;
    wxTextCtrl* stepLengthEdit_ = nullptr;
    wxCheckBox* chartValuesCheck_ = nullptr;
    NoticeLine* notice_ = nullptr;

    std::unique_ptr<Settings> settings_;
    DiaryFiles files_;
    // What the list shows, row by row, with each row's record.
    ShownDiary diary_;
    std::unique_ptr<DiaryWatch> watch_;
    // The overview while it is open; it follows each change of the list.
    wxWeakRef<OverviewWindow> overview_;
    // What this window changed, to be undone and redone.
    UndoHistory history_;
    DocumentOpener openDocument_ = [this](const std::string& path) { OpenWithDesktop(path); };
    FileChooser chooseFile_ = [this](FileChoice choice) {
        return ChooseFile(this, choice, files_.directory);
    };
    // Lets a handler that ends after the dialog has gone find it gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);

    wxDECLARE_EVENT_TABLE();
};
