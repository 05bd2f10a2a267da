#pragma once

#include <optional>
#include <string>

#include <wx/dialog.h>

#include "ImportCommand.h"

// Shows what an import would change before anything does: the counts and
// every conflicting date with the diary's and the file's totals. The user
// imports keeping the diary's entries on conflicting dates, imports taking
// the file's, or cancels.
class ImportPreviewDialog : public wxDialog {
public:
    ImportPreviewDialog(wxWindow* parent, const std::string& fileName,
                        const ImportPreview& preview);

    // The choice the user made; none when they cancelled.
    std::optional<ConflictChoice> Ask();

private:
    void OnUseFile(wxCommandEvent& event);
};
