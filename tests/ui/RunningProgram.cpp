#include "RunningProgram.h"

#include <cstdio>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace std::chrono_literals;

std::string Xdotool(const std::string& arguments) {
    std::string output;
    if (std::FILE* pipe =
            popen(("timeout 20 xdotool " + arguments + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

bool WaitFor(const std::function<bool()>& done) {
    for (auto deadline = std::chrono::steady_clock::now() + 20s;
         std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(20ms)) {
        if (done())
            return true;
    }
    return done();
}

RunningProgram::RunningProgram(std::vector<std::string> arguments,
                               const std::vector<std::string>& environment) {
    arguments.insert(arguments.begin(), TREKLINE_PROGRAM);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> entries(environment);
    std::vector<char*> envp;
    for (std::string& entry : entries)
        envp.push_back(entry.data());
    for (char** entry = environ; *entry; ++entry)
        envp.push_back(*entry);
    envp.push_back(nullptr);
    if (posix_spawn(&pid_, TREKLINE_PROGRAM, nullptr, nullptr, argv.data(), envp.data()) != 0)
        pid_ = -1;
}

RunningProgram::~RunningProgram() {
    if (pid_ > 0 && !exited_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

std::string RunningProgram::WaitForWindow() {
    std::string id = Xdotool("search --sync --all --onlyvisible --pid " + std::to_string(pid_) +
                             " --name '^Trekline from '");
    return id.substr(0, id.find('\n'));
}

bool RunningProgram::HasExited() {
    if (!exited_ && waitpid(pid_, &status_, WNOHANG) == pid_)
        exited_ = true;
    return exited_;
}

int RunningProgram::ExitStatus() const {
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}
