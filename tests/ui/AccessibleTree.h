#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// One object of a program's accessibility tree, as a screen reader sees it.
struct Accessible {
    std::string role;
    std::string parentRole;
    std::string name;
    int x = 0, y = 0, width = 0, height = 0; // on the screen
    bool selected = false;

    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
};

// A session bus of its own for the life of the object, so that the programs
// started meanwhile publish their accessibility trees where the test can read
// them and nowhere else.
class AccessibilityBus {
public:
    AccessibilityBus();
    ~AccessibilityBus();
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    bool IsUp() const { return daemon_ > 0; }

private:
    pid_t daemon_ = -1;
    std::optional<std::string> previousAddress_;
};

// Every object in the windows of the process, in tree order; empty while the
// process has not published its tree.
std::vector<Accessible> AccessibleTree(pid_t pid);

// The texts of the rows of the process's list, in order.
std::vector<std::string> ListRows(const std::vector<Accessible>& tree);
