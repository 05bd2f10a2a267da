#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// Runs xdotool with the arguments and gives what it printed.
std::string Xdotool(const std::string& arguments);

// Polls until `done` holds, for up to 20 seconds; whether it came to hold.
bool WaitFor(const std::function<bool()>& done);

// The program, started in the current directory with these arguments and
// extra environment entries ("NAME=value"); killed if a test leaves it running.
class RunningProgram {
public:
    explicit RunningProgram(std::vector<std::string> arguments = {},
                            const std::vector<std::string>& environment = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    pid_t Pid() const { return pid_; }

    // The main window's X id, once it is shown; empty if it never is.
    std::string WaitForWindow();

    bool HasExited();
    int ExitStatus() const;

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int status_ = 0;
};
