#include "DocumentOpener.h"

#include <cerrno>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

const char* const kDefaultHandlerCall = "xdg-open";

int OpenWithDefaultHandler(const std::string& path, HandlerEnded ended) {
    std::string program = kDefaultHandlerCall;
    std::string argument = path;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (const int error = posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ))
        return error;
    // The handler may run as long as the browser does; reap it in the
    // background so that the dialog never waits and no zombie is left.
    std::thread([pid, ended = std::move(ended)] {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (ended)
            ended(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    }).detach();
    return 0;
}
