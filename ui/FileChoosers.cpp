#include "FileChoosers.h"

#include <wx/datetime.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> ChooseImport(wxWindow* parent, const fs::path& directory) {
    wxFileDialog chooser(parent, "Import step counts", directory.string(), wxEmptyString,
                         "Step counts and exports|*.csv;*.CSV;*.zip;*.xml;*.json;*.db;*|"
                         "CSV files (*.csv)|*.csv;*.CSV|All files|*",
                         wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (chooser.ShowModal() != wxID_OK)
        return std::nullopt;
    return fs::path(chooser.GetPath().utf8_string());
}

std::optional<fs::path> ChooseExport(wxWindow* parent, const fs::path& directory) {
    const wxString suggested = "trekline-" + wxDateTime::Today().FormatISODate() + ".csv";
    wxFileDialog chooser(parent, "Export the diary as CSV", directory.string(), suggested,
                         "CSV files (*.csv)|*.csv", wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (chooser.ShowModal() != wxID_OK)
        return std::nullopt;
    fs::path path = chooser.GetPath().utf8_string();
    if (path.extension() == ".csv")
        return path;
    // The chooser asked about the name as typed; the file written has
    // another, which may be taken too.
    path += ".csv";
    std::error_code error;
    if (fs::exists(path, error) &&
        wxMessageBox(wxString::FromUTF8(path.filename().string()) +
                         " already exists. Do you want to replace it?",
                     "Export the diary as CSV", wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION,
                     parent) != wxYES)
        return std::nullopt;
    return path;
}

} // namespace

std::optional<fs::path> ChooseFile(wxWindow* parent, FileChoice choice, const fs::path& directory) {
    return choice == FileChoice::kImport ? ChooseImport(parent, directory)
                                         : ChooseExport(parent, directory);
}
