#pragma once

#include <functional>
#include <memory>

#include <wx/event.h>
#include <wx/timer.h>

#include "DiaryFiles.h"
#include "DirectoryChanges.h"

class wxTopLevelWindow;

// Tells a window, soon after, that its diary may have changed: when
// anything changes in the diary's directory, and whenever the window gets
// the focus, which is all that is left when the directory cannot be watched.
// A burst of changes gives one call. Nothing runs while the directory is
// left alone.
class DiaryWatch : public wxEvtHandler {
public:
    DiaryWatch(wxTopLevelWindow& window, const DiaryFiles& files, std::function<void()> onChange);
    ~DiaryWatch() override;

    // Starts watching the directory; the calls it leads to come through the
    // event loop the window runs in, so this is called once that loop is
    // running. False when it cannot be watched (for instance past the
    // system's limit of inotify watches).
    bool Start();

private:
    void OnActivate(wxActivateEvent& event);
    void CheckSoon();

    wxTopLevelWindow& window_;
    DiaryFiles files_;
    std::function<void()> onChange_;
    wxTimer settle_;
    // Last, so that it stops before what its calls reach goes.
    std::unique_ptr<DirectoryChanges> changes_;
};
