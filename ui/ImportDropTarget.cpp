#include "ImportDropTarget.h"

#include <wx/app.h>

bool ImportDropTarget::OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) {
    std::vector<std::filesystem::path> paths;
    for (const wxString& name : names)
        paths.emplace_back(name.utf8_string());
    if (paths.empty())
        return false;
    wxTheApp->CallAfter([import = import_, paths] { import(paths); });
    return true;
}
