#include "DiaryWatch.h"

#include <wx/toplevel.h>

namespace {

// Long enough to gather the events of one change (a delete renames and
// writes, an import appends many times), short enough to look immediate.
constexpr int kSettleMs = 150;

} // namespace

DiaryWatch::DiaryWatch(wxTopLevelWindow& window, const DiaryFiles& files,
                       std::function<void()> onChange)
    : window_(window), files_(files), onChange_(std::move(onChange)), settle_(this) {
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { onChange_(); });
    window_.Bind(wxEVT_ACTIVATE, &DiaryWatch::OnActivate, this);
}

DiaryWatch::~DiaryWatch() {
    // The watching thread ends first; a call it queued goes with this
    // handler's pending events.
    changes_.reset();
    window_.Unbind(wxEVT_ACTIVATE, &DiaryWatch::OnActivate, this);
}

bool DiaryWatch::Start() {
    if (changes_)
        return true;
    // The diary is replaced by a rename, which a watch on the file itself
    // would not survive: its directory is watched instead. A change to the
    // report's files beside it costs one look at the diary's identity.
    const std::filesystem::path directory =
        files_.directory.empty() ? std::filesystem::path(".") : files_.directory;
    changes_ = DirectoryChanges::Watch(directory, [this] { CallAfter(&DiaryWatch::CheckSoon); });
    return changes_ != nullptr;
}

void DiaryWatch::OnActivate(wxActivateEvent& event) {
    // Checked a moment later rather than at once, so that a click that
    // brought the focus is handled on the list the user saw.
    if (event.GetActive())
        CheckSoon();
    event.Skip();
}

void DiaryWatch::CheckSoon() {
    if (!settle_.IsRunning())
        settle_.StartOnce(kSettleMs);
}
