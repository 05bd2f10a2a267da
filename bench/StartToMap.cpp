// Usage: start_to_map ROUNDS PROGRAM [ARGUMENTS...]
// Starts the program ROUNDS times in the current directory and times each
// start until the X server maps its main window (the MapNotify of a top-level
// window of that process named "Trekline from ..."), without polling. Prints
// the median in milliseconds and the largest peak memory in MB, measured a
// moment after the window was mapped.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

bool IsMainWindowOf(Display* display, Window window, pid_t pid) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    bool ours = false;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && count == 1)
        ours = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
    if (data)
        XFree(data);
    char* name = nullptr;
    if (ours && XFetchName(display, window, &name) && name) {
        ours = std::string(name).starts_with("Trekline from ");
        XFree(name);
    } else {
        ours = false;
    }
    return ours;
}

// Waits for the MapNotify of the process's main window; false after 60 s.
bool WaitForMap(Display* display, pid_t pid) {
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < deadline) {
        while (XPending(display)) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && IsMainWindowOf(display, event.xmap.window, pid))
                return true;
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(ConnectionNumber(display), &fds);
        timeval timeout{1, 0};
        select(ConnectionNumber(display) + 1, &fds, nullptr, nullptr, &timeout);
    }
    return false;
}

long PeakKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::atol(line.c_str() + 6);
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const int rounds = std::atoi(argv[1]);
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return 1;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    std::vector<double> times;
    long peakKb = 0;
    for (int round = 0; round < rounds; ++round) {
        pid_t pid;
        const auto start = Clock::now();
        if (posix_spawn(&pid, argv[2], nullptr, nullptr, argv + 2, environ) != 0)
            return 1;
        const bool mapped = WaitForMap(display, pid);
        const auto stop = Clock::now();
        // The first paint follows the map.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        peakKb = std::max(peakKb, PeakKb(pid));
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        if (!mapped)
            return 1;
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    std::printf("%.1f %.1f\n", times[times.size() / 2], static_cast<double>(peakKb) / 1024.0);
    XCloseDisplay(display);
}
