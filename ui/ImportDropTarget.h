#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include <wx/dnd.h>

// Files dropped onto the window are imported as if chosen with Ctrl+I. The
// drop is answered at once; the import comes after, outside the toolkit's
// drag-and-drop handling, which a modal preview must not stand inside.
class ImportDropTarget : public wxFileDropTarget {
public:
    using Import = std::function<void(const std::vector<std::filesystem::path>&)>;
    explicit ImportDropTarget(Import import) : import_(std::move(import)) {}

    bool OnDropFiles(wxCoord x, wxCoord y, const wxArrayString& names) override;

private:
    Import import_;
};
