#pragma once

#include <chrono>
#include <memory>
#include <string>

#include <wx/progdlg.h>

#include "ImportedSteps.h"

// The progress of reading a file for import, with a Cancel that stops it.
// Most files are read in a blink: the window shows only once a read has
// taken longer than that, so that it never flashes up for nothing.
class ImportProgressWindow {
public:
    ImportProgressWindow(wxWindow* parent, std::string fileName);

    // What the reader reports to; false once the user has cancelled.
    ImportProgress Callback();

private:
    bool Update(std::uint64_t done, std::uint64_t total);

    wxWindow* parent_;
    std::string fileName_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
    std::unique_ptr<wxProgressDialog> window_;
};
