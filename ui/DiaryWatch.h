#pragma once

#include <functional>
#include <memory>

#include <wx/event.h>
#include <wx/fswatcher.h>
#include <wx/timer.h>

#include "DiaryFiles.h"

class wxTopLevelWindow;

// Tells a window, soon after, that its diary may have changed: when the
// toolkit's file watcher sees the diary's name change in its directory, and
// whenever the window gets the focus, which is all that is left when the
// watcher cannot be set up. A burst of file events gives one call. Nothing
// runs while the diary is left alone.
class DiaryWatch : public wxEvtHandler {
public:
    DiaryWatch(wxTopLevelWindow& window, const DiaryFiles& files, std::function<void()> onChange);
    ~DiaryWatch() override;

    // Sets up the file watcher; it needs the event loop the window runs in,
    // so this is called once that loop is running. False when it cannot be
    // set up (for instance past the system's limit of inotify watches).
    bool Start();

private:
    void OnFileEvent(wxFileSystemWatcherEvent& event);
    void OnActivate(wxActivateEvent& event);
    void CheckSoon();

    wxTopLevelWindow& window_;
    DiaryFiles files_;
    std::function<void()> onChange_;
    std::unique_ptr<wxFileSystemWatcher> watcher_;
    wxTimer settle_;
};
