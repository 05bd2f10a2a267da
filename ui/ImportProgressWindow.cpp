#include "ImportProgressWindow.h"

#include <wx/app.h>

namespace {

constexpr int kRange = 1000;
constexpr auto kShowAfter = std::chrono::milliseconds(400);

} // namespace

ImportProgressWindow::ImportProgressWindow(wxWindow* parent, std::string fileName)
    : parent_(parent), fileName_(std::move(fileName)) {}

ImportProgress ImportProgressWindow::Callback() {
    return [this](std::uint64_t done, std::uint64_t total) { return Update(done, total); };
}

bool ImportProgressWindow::Update(std::uint64_t done, std::uint64_t total) {
    if (!window_) {
        if (std::chrono::steady_clock::now() - started_ < kShowAfter)
            return true;
        window_ = std::make_unique<wxProgressDialog>(
            "Importing", "Reading " + wxString::FromUTF8(fileName_ + "…"), kRange, parent_,
            wxPD_APP_MODAL | wxPD_CAN_ABORT | wxPD_AUTO_HIDE | wxPD_ELAPSED_TIME);
    }
    const int value =
        total == 0 ? 0 : static_cast<int>(std::min<std::uint64_t>(done, total) * kRange / total);
    // At the full range the window would close itself while the merge is
    // still to come.
    return window_->Update(std::min(value, kRange - 1));
}
