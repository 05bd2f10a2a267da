#include "DiaryWatch.h"

#include <wx/filename.h>
#include <wx/fswatcher.h>
#include <wx/log.h>
#include <wx/toplevel.h>

namespace {

// Long enough to gather the events of one change (a delete renames and
// writes, an import appends many times), short enough to look immediate.
constexpr int kSettleMs = 150;

// Reads of the diary, ours included, are no changes.
constexpr int kWatchedEvents = wxFSW_EVENT_CREATE | wxFSW_EVENT_DELETE | wxFSW_EVENT_RENAME |
                               wxFSW_EVENT_MODIFY | wxFSW_EVENT_ATTRIB | wxFSW_EVENT_WARNING |
                               wxFSW_EVENT_ERROR;

} // namespace

DiaryWatch::DiaryWatch(wxTopLevelWindow& window, const DiaryFiles& files,
                       std::function<void()> onChange)
    : window_(window), files_(files), onChange_(std::move(onChange)), settle_(this) {
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { onChange_(); });
    Bind(wxEVT_FSWATCHER, &DiaryWatch::OnFileEvent, this);
    window_.Bind(wxEVT_ACTIVATE, &DiaryWatch::OnActivate, this);
}

DiaryWatch::~DiaryWatch() {
    window_.Unbind(wxEVT_ACTIVATE, &DiaryWatch::OnActivate, this);
}

bool DiaryWatch::Start() {
    if (watcher_)
        return true;
    // The toolkit reports a watcher it cannot set up as an error message box;
    // here that is no error, the focus check stands in for it.
    wxLogNull quiet;
    auto watcher = std::make_unique<wxFileSystemWatcher>();
    watcher->SetOwner(this);
    // The diary is replaced by a rename, which a watch on the file itself
    // would not survive: its directory is watched instead.
    const wxString directory =
        files_.directory.empty() ? wxString(".") : wxString(files_.directory.string());
    if (!watcher->Add(wxFileName::DirName(directory), kWatchedEvents))
        return false;
    watcher_ = std::move(watcher);
    return true;
}

void DiaryWatch::OnFileEvent(wxFileSystemWatcherEvent& event) {
    const wxString diary = wxString(files_.steps.filename().string());
    // Lost events (a full queue) or a watch that broke may have hidden a
    // change of the diary.
    if (event.IsError() || event.GetPath().GetFullName() == diary ||
        event.GetNewPath().GetFullName() == diary)
        CheckSoon();
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
