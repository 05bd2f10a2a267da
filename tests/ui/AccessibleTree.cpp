#include "AccessibleTree.h"

#include <cstdio>
#include <cstdlib>
#include <signal.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

AccessibilityBus::AccessibilityBus() {
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        previousAddress_ = address;
    int out[2];
    if (pipe(out) != 0)
        return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char* argv[] = {const_cast<char*>("dbus-daemon"), const_cast<char*>("--session"),
                    const_cast<char*>("--nofork"), const_cast<char*>("--print-address=1"), nullptr};
    if (posix_spawnp(&daemon_, "dbus-daemon", &actions, nullptr, argv, environ) != 0)
        daemon_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string address;
    char c;
    while (daemon_ > 0 && read(out[0], &c, 1) == 1 && c != '\n')
        address += c;
    close(out[0]);
    if (address.empty()) {
        daemon_ = -1;
        return;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
}

AccessibilityBus::~AccessibilityBus() {
    if (daemon_ > 0) {
        // The accessibility bus started for it ends with it.
        kill(daemon_, SIGTERM);
        waitpid(daemon_, nullptr, 0);
    }
    if (previousAddress_)
        setenv("DBUS_SESSION_BUS_ADDRESS", previousAddress_->c_str(), 1);
    else
        unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

std::vector<Accessible> AccessibleTree(pid_t pid) {
    std::vector<Accessible> tree;
    const std::string command = "timeout 20 /usr/bin/python3 " TREKLINE_TEST_SOURCE_DIR
                                "/accessible-tree.py " +
                                std::to_string(pid) + " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return tree;
    std::string output;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    pclose(pipe);
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        Accessible a;
        std::string x, y, width, height, selected;
        std::getline(fields, a.role, '\t');
        std::getline(fields, a.parentRole, '\t');
        std::getline(fields, a.name, '\t');
        std::getline(fields, x, '\t');
        std::getline(fields, y, '\t');
        std::getline(fields, width, '\t');
        std::getline(fields, height, '\t');
        std::getline(fields, selected, '\t');
        a.x = std::atoi(x.c_str());
        a.y = std::atoi(y.c_str());
        a.width = std::atoi(width.c_str());
        a.height = std::atoi(height.c_str());
        a.selected = selected == "1";
        tree.push_back(a);
    }
    return tree;
}

std::vector<std::string> ListRows(const std::vector<Accessible>& tree) {
    std::vector<std::string> rows;
    for (const Accessible& a : tree)
        if (a.role == "table cell")
            rows.push_back(a.name);
    return rows;
}
