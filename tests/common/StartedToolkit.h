#pragma once

#include <chrono>
#include <functional>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

// The toolkit started once for a whole test program, with an event loop of
// its own, so that windows can be made, shown and driven in the tests.
inline bool StartToolkit() {
    static const bool started = [] {
        class TestApp : public wxApp {
        public:
            bool OnInit() override { return true; }
        };
        wxApp::SetInstance(new TestApp);
        static int argc = 1;
        static char name[] = "ui_tests";
        static char* argv[] = {name, nullptr};
        if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit())
            return false;
        wxEventLoopBase::SetActive(new wxEventLoop);
        return true;
    }();
    return started;
}

// Lets the toolkit handle its events until `done`, for at most 20 seconds.
inline bool WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        wxYield();
        wxMilliSleep(10);
    }
    return true;
}
