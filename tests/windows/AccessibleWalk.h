#pragma once

#include <string>
#include <vector>

#include <windows.h>

// One object of a window's accessibility tree, as a screen reader reads it
// through MSAA.
struct AccessibleNode {
    int depth = 0;
    // The window the object belongs to, and its window class.
    HWND window = nullptr;
    std::wstring windowClass;
    // A simple element of its parent (a list's row), known by a child id
    // rather than an object of its own.
    bool element = false;
    long role = 0;
    long state = 0;
    std::wstring name;
    std::wstring value;
    std::wstring description;
};

// The client object of the window and of every window within it, in tree
// order, each followed by the objects and elements it holds. A window's
// children are walked through their own windows: Wine's window objects
// answer none of the questions that lead into them.
std::vector<AccessibleNode> WalkAccessibleTree(HWND window);

// The tree, one object a line, indented by depth.
std::string DescribeTree(const std::vector<AccessibleNode>& tree);

// The role's name as the system words it ("push button").
std::wstring RoleText(long role);

std::string Utf8(const std::wstring& text);
