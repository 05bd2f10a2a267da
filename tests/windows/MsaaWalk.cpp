// Starts trekline.exe on a small diary and reads its dialog and its overview
// as a Windows screen reader does, through MSAA: every control is named after
// its label, the list reads its rows as the window shows them, a refused
// command's notice is an alert, the overview's figures read with what they
// are. When something does not read as it should, prints the tree and what
// differs, and ends with status 1.
//
// Usage: msaa_walk TREKLINE_EXE [DIRECTORY]
// Without a directory the diary is written in a fresh one, removed after;
// a directory given (an installed program's test) must hold no diary yet,
// and keeps the walk's.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>

#include <oleacc.h>

#include "AccessibleWalk.h"
#include "TempDir.h"
#include "TestDiary.h"
#include "Wine.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// A window comes up in about half a second under Wine; a loaded machine
// may take many times that.
constexpr auto kStartTime = std::chrono::seconds(60);
// The labels are set once the dialog first idles, the figures once the
// overview has its entries.
constexpr auto kSettleTime = std::chrono::seconds(15);

// What the walk found wrong, and what it could not ask and why.
struct Findings {
    std::vector<std::string> failures;
    std::set<std::string> skipped;
};

// A control as a screen reader must find it: the class of its window ("wx"
// for any of the toolkit's own), its role (0: not checked) and its name.
struct Control {
    const wchar_t* windowClass;
    long role;
    const wchar_t* name;
};

// The window classes whose objects Wine 8's oleacc leaves to its generic
// client object, with the role ROLE_SYSTEM_CLIENT and no children: only
// the edit control has one of its own there.
bool WineAnswersGenerically(const std::wstring& windowClass) {
    return RunsUnderWine() && windowClass != L"Edit";
}

bool HasClass(const AccessibleNode& node, const wchar_t* windowClass) {
    const std::wstring wanted(windowClass);
    if (wanted == L"wx")
        return node.windowClass.rfind(L"wx", 0) == 0;
    return CompareStringOrdinal(node.windowClass.c_str(), -1, windowClass, -1, TRUE) == CSTR_EQUAL;
}

const AccessibleNode* FindControl(const std::vector<AccessibleNode>& tree, const Control& control) {
    for (const AccessibleNode& node : tree)
        if (!node.element && HasClass(node, control.windowClass) && node.name == control.name)
            return &node;
    return nullptr;
}

std::string Quoted(const std::wstring& text) {
    return "\"" + Utf8(text) + "\"";
}

// Whether the role is the one wanted; a role Wine cannot give is noted as
// not asked rather than as wrong.
void CheckRole(const AccessibleNode& node, long role, const std::wstring& what, Findings& found) {
    if (role == 0 || node.role == role)
        return;
    if (node.role == ROLE_SYSTEM_CLIENT && WineAnswersGenerically(node.windowClass)) {
        found.skipped.insert("roles of " + Utf8(node.windowClass) +
                             " windows: Wine's oleacc has no object for the class and answers "
                             "ROLE_SYSTEM_CLIENT");
        return;
    }
    found.failures.push_back(Utf8(what) + " is a " + Utf8(RoleText(node.role)) + ", not a " +
                             Utf8(RoleText(role)));
}

void CheckControls(const std::vector<AccessibleNode>& tree, const std::vector<Control>& controls,
                   Findings& found) {
    for (const Control& control : controls) {
        const AccessibleNode* node = FindControl(tree, control);
        const std::wstring what = std::wstring(control.windowClass) + L" \"" + control.name + L"\"";
        if (!node) {
            found.failures.push_back("no " + Utf8(control.windowClass) + " window reads as " +
                                     Quoted(control.name));
            continue;
        }
        CheckRole(*node, control.role, what, found);
    }
}

// The elements right under the node, in order.
std::vector<const AccessibleNode*> ElementsOf(const std::vector<AccessibleNode>& tree,
                                              const AccessibleNode& parent) {
    std::vector<const AccessibleNode*> elements;
    for (auto it = tree.begin() + (&parent - tree.data()) + 1;
         it != tree.end() && it->depth > parent.depth; ++it)
        if (it->element && it->depth == parent.depth + 1)
            elements.push_back(&*it);
    return elements;
}

void CheckListRows(const std::vector<AccessibleNode>& tree, const std::wstring& listName,
                   const std::vector<std::wstring>& rows, Findings& found) {
    const AccessibleNode* list = FindControl(tree, {L"SysListView32", 0, listName.c_str()});
    if (!list)
        return; // Already told by the controls' check.
    const std::vector<const AccessibleNode*> elements = ElementsOf(tree, *list);
    if (elements.empty() && WineAnswersGenerically(list->windowClass)) {
        found.skipped.insert("the list's rows: Wine's oleacc has no object for list views, "
                             "whose rows it would read");
        return;
    }
    std::vector<std::wstring> read;
    for (const AccessibleNode* element : elements) {
        read.push_back(element->name);
        CheckRole(*element, ROLE_SYSTEM_LISTITEM, L"the row " + element->name, found);
    }
    if (read != rows) {
        std::string shown;
        for (const std::wstring& row : read)
            shown += "\n    " + Quoted(row);
        found.failures.push_back("the list reads " + std::to_string(read.size()) +
                                 " rows, not the " + std::to_string(rows.size()) +
                                 " it shows:" + shown);
    }
}

// The up-down beside the steps edit: Windows' own control, read as a spin
// button with a button to press for each arrow.
void CheckUpDown(const std::vector<AccessibleNode>& tree, Findings& found) {
    for (const AccessibleNode& node : tree) {
        if (node.element || !HasClass(node, L"msctls_updown32"))
            continue;
        if (node.role == ROLE_SYSTEM_CLIENT && WineAnswersGenerically(node.windowClass)) {
            found.skipped.insert("the up-down's arrows: Wine's oleacc has no object for "
                                 "up-down controls, whose arrows it would read as buttons");
            return;
        }
        const std::vector<const AccessibleNode*> arrows = ElementsOf(tree, node);
        if (arrows.size() != 2)
            found.failures.push_back("the up-down has " + std::to_string(arrows.size()) +
                                     " arrows to press, not 2");
        for (const AccessibleNode* arrow : arrows)
            CheckRole(*arrow, ROLE_SYSTEM_PUSHBUTTON, L"an arrow of the up-down", found);
        return;
    }
    found.failures.push_back("no up-down control in the dialog");
}

// Nothing a screen reader lands on is left without a name. The generic
// object of a window (Windows' and Wine's alike) calls every enabled window
// focusable, a background included: of windows, the keyboard's stops
// (WS_TABSTOP) are the ones landed on.
void CheckFocusableNamed(const std::vector<AccessibleNode>& tree, Findings& found) {
    for (const AccessibleNode& node : tree) {
        const bool focusable =
            (node.state & STATE_SYSTEM_FOCUSABLE) &&
            (node.element || (GetWindowLongPtrW(node.window, GWL_STYLE) & WS_TABSTOP));
        const bool shown = !(node.state & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
        if (focusable && shown && node.name.empty())
            found.failures.push_back("a focusable " + Utf8(RoleText(node.role)) + " in a " +
                                     Utf8(node.windowClass) + " window has no name");
    }
}

// A window the toolkit draws itself is named by Windows after its text,
// which the toolkit fills with its internal window name.
void CheckNoToolkitNames(const std::vector<AccessibleNode>& tree, Findings& found) {
    for (const AccessibleNode& node : tree)
        for (const wchar_t* internal : {L"panel", L"frame", L"dialog", L"control"})
            if (node.name == internal)
                found.failures.push_back("a " + Utf8(RoleText(node.role)) +
                                         " reads as the toolkit's window name " +
                                         Quoted(node.name));
}

// The shown top-level windows of the process: the dialog, the overview.
std::vector<HWND> ShownTopLevelWindows(DWORD process) {
    struct Search {
        DWORD process;
        std::vector<HWND> found;
    } search{process, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.process && IsWindowVisible(window))
                s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[256] = {};
    const int length = GetWindowTextW(window, title, 256);
    return std::wstring(title, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// The shown top-level window of the process with that title, waited for.
std::optional<HWND> WaitForWindow(const PROCESS_INFORMATION& program, const std::wstring& title,
                                  std::chrono::seconds patience) {
    const auto end = Clock::now() + patience;
    do {
        for (HWND window : ShownTopLevelWindows(program.dwProcessId))
            if (TitleOf(window) == title)
                return window;
        if (WaitForSingleObject(program.hProcess, 100) == WAIT_OBJECT_0)
            return std::nullopt;
    } while (Clock::now() < end);
    return std::nullopt;
}

// Reads the window's tree and checks it until the checks pass or time is
// up, as the window may still be filling in what it tells; the last
// reading's findings are kept.
using TreeCheck = std::function<void(const std::vector<AccessibleNode>&, Findings&)>;

Findings CheckUntilSettled(HWND window, const TreeCheck& check, std::string& lastTree) {
    const auto end = Clock::now() + kSettleTime;
    for (;;) {
        const std::vector<AccessibleNode> tree = WalkAccessibleTree(window);
        Findings found;
        check(tree, found);
        lastTree = DescribeTree(tree);
        if (found.failures.empty() || Clock::now() >= end)
            return found;
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    }
}

std::wstring Wide(const std::string& text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// A path given from the Unix side (ctest runs the walk under Wine) as the
// drive path Wine shows it under; any other path as it is.
fs::path WindowsPath(const char* given) {
    if (given[0] == '/' && RunsUnderWine()) {
        using DosName = wchar_t*(__cdecl*)(const char*);
        if (const auto toDos = reinterpret_cast<DosName>(reinterpret_cast<void*>(
                GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name"))))
            if (wchar_t* dos = toDos(given)) {
                fs::path path(dos);
                HeapFree(GetProcessHeap(), 0, dos);
                return path;
            }
    }
    return fs::path(Wide(given));
}

// Ends the program as a user would, and for good if it will not go.
void CloseProgram(const PROCESS_INFORMATION& program, std::optional<HWND> dialog) {
    const auto asked = Clock::now();
    if (dialog)
        PostMessageW(*dialog, WM_CLOSE, 0, 0);
    // The windows go at once, the process some seconds later under Wine:
    // with no window manager on the display, Wine waits 2 s for each
    // top-level window to be withdrawn (wait_for_withdrawn_state).
    if (WaitForSingleObject(program.hProcess, 10000) == WAIT_OBJECT_0) {
        std::printf("msaa_walk: the program ended %.1f s after WM_CLOSE\n", SecondsSince(asked));
    } else {
        std::puts("msaa_walk: the program did not end on WM_CLOSE; terminated");
        TerminateProcess(program.hProcess, 1);
        WaitForSingleObject(program.hProcess, 5000);
    }
    CloseHandle(program.hThread);
    CloseHandle(program.hProcess);
}

std::optional<PROCESS_INFORMATION> StartProgram(const fs::path& program,
                                                const fs::path& directory) {
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &started))
        return std::nullopt;
    return started;
}

// Presses the dialog's button with that text as a click on it would.
bool PressButton(HWND dialog, const wchar_t* text) {
    HWND button = FindWindowExW(dialog, nullptr, L"Button", text);
    if (!button)
        return false;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    return true;
}

std::wstring RowText(const StepRecord& record) {
    wchar_t text[64];
    swprintf(text, 64, L"Date: %04u.%02u.%02u, steps: %u", record.year, record.month, record.day,
             record.steps);
    return text;
}

int Report(const char* window, const Findings& found, const std::string& tree) {
    for (const std::string& reason : found.skipped)
        std::printf("msaa_walk: %s: not checked: %s\n", window, reason.c_str());
    if (found.failures.empty())
        return 0;
    std::printf("msaa_walk: the %s as MSAA reads it:\n%s", window, tree.c_str());
    for (const std::string& failure : found.failures)
        std::printf("msaa_walk: %s: %s\n", window, failure.c_str());
    return 1;
}

int Walk(const fs::path& program, const fs::path& directory) {
    // Today's figures are asked for: the program and the walk agree on the
    // day by both reading it in UTC.
    SetEnvironmentVariableW(L"TZ", L"UTC0");
    SYSTEMTIME now;
    GetSystemTime(&now);
    // The rows are listed in the byte order of their texts, oldest first here.
    const std::vector<StepRecord> records = {
        DiaryEntry(950, 2006, 4, 3, 1, 1),
        DiaryEntry(12000, 2006, 4, 5, 2, 3),
        DiaryEntry(600, now.wYear, now.wMonth, now.wDay, 3, now.wDayOfWeek),
    };
    const std::vector<unsigned char> diary = DiaryBytes(records);
    WriteFileBytes(directory / "data.steps", diary);
    std::vector<std::wstring> rows;
    for (const StepRecord& record : records)
        rows.push_back(RowText(record));

    const auto started = Clock::now();
    const std::optional<PROCESS_INFORMATION> running = StartProgram(program, directory);
    if (!running) {
        std::printf("msaa_walk: %s could not be started (error %lu)\n",
                    Utf8(program.wstring()).c_str(), GetLastError());
        return 2;
    }
    const std::optional<HWND> dialog =
        WaitForWindow(*running, L"Trekline from https://trekline.example.org", kStartTime);
    if (!dialog) {
        std::puts("msaa_walk: the dialog did not come up");
        CloseProgram(*running, std::nullopt);
        return 1;
    }
    std::printf("msaa_walk: the dialog is up after %.1f s\n", SecondsSince(started));

    const std::vector<Control> controls = {
        {L"Edit", ROLE_SYSTEM_TEXT, L"Number of steps:"},
        // The up-down's own window, and Windows' up-down control over its
        // arrows.
        {L"wx", 0, L"Number of steps:"},
        {L"msctls_updown32", ROLE_SYSTEM_SPINBUTTON, L"Number of steps:"},
        {L"SysDateTimePick32", 0, L"Date:"},
        {L"Button", ROLE_SYSTEM_PUSHBUTTON, L"Add"},
        {L"SysListView32", ROLE_SYSTEM_LIST, L"Step Data:"},
        {L"Button", ROLE_SYSTEM_PUSHBUTTON, L"Delete"},
        {L"Button", ROLE_SYSTEM_PUSHBUTTON, L"Save HTML Report"},
        {L"Edit", ROLE_SYSTEM_TEXT, L"Step length (cm)"},
        {L"Button", ROLE_SYSTEM_CHECKBUTTON, L"Draw values in graph"},
        {L"Button", ROLE_SYSTEM_PUSHBUTTON, L"Help"},
        {L"Button", ROLE_SYSTEM_PUSHBUTTON, L"Overview"},
        {L"Static", ROLE_SYSTEM_STATICTEXT, L"Trekline - v1.01 (c) 2026 The Trekline developers"},
    };
    std::string tree;
    const auto walkStarted = Clock::now();
    const Findings dialogFound = CheckUntilSettled(
        *dialog,
        [&](const std::vector<AccessibleNode>& read, Findings& found) {
            CheckControls(read, controls, found);
            CheckListRows(read, L"Step Data:", rows, found);
            CheckUpDown(read, found);
            CheckFocusableNamed(read, found);
            CheckNoToolkitNames(read, found);
        },
        tree);
    std::printf("msaa_walk: the dialog read in %.1f s\n", SecondsSince(walkStarted));
    int status = Report("dialog", dialogFound, tree);

    // A command that fails tells why in the notice line, which a screen
    // reader finds as an alert: Delete with no row chosen changes nothing.
    const std::wstring notice = L"Select an entry in the list first: nothing was deleted.";
    if (!PressButton(*dialog, L"D&elete")) {
        std::puts("msaa_walk: the dialog has no Delete button to press");
        CloseProgram(*running, dialog);
        return 1;
    }
    Findings noticeFound = CheckUntilSettled(
        *dialog,
        [&](const std::vector<AccessibleNode>& read, Findings& found) {
            for (const AccessibleNode& node : read)
                if (node.name == notice && !(node.state & STATE_SYSTEM_INVISIBLE)) {
                    CheckRole(node, ROLE_SYSTEM_ALERT, L"the notice", found);
                    return;
                }
            found.failures.push_back("no shown object reads as the notice " + Quoted(notice));
        },
        tree);
    if (ReadFileBytes(directory / "data.steps") != diary)
        noticeFound.failures.push_back("the refused Delete changed the diary");
    status |= Report("notice", noticeFound, tree);

    if (!PressButton(*dialog, L"&Overview")) {
        std::puts("msaa_walk: the dialog has no Overview button to press");
        CloseProgram(*running, dialog);
        return 1;
    }
    const auto pressed = Clock::now();
    const std::optional<HWND> overview = WaitForWindow(*running, L"Trekline Overview", kSettleTime);
    if (!overview) {
        std::puts("msaa_walk: the overview did not come up");
        CloseProgram(*running, dialog);
        return 1;
    }
    std::printf("msaa_walk: the overview is up after %.1f s\n", SecondsSince(pressed));
    // Figures under a thousand read the same in every locale; today's share
    // depends on the user's goal, and is read as far as the goal.
    const std::vector<Control> figures = {
        {L"Static", ROLE_SYSTEM_STATICTEXT, L"This week, steps: 600"},
        {L"Static", ROLE_SYSTEM_STATICTEXT, L"Last 30 days, steps a day: 20"},
        {L"Static", ROLE_SYSTEM_STATICTEXT, L"Current streak: 0 days"},
        {L"Static", ROLE_SYSTEM_STATICTEXT, L"Goal days of the last 30: 0 of 30"},
    };
    const Findings overviewFound = CheckUntilSettled(
        *overview,
        [&](const std::vector<AccessibleNode>& read, Findings& found) {
            CheckControls(read, figures, found);
            CheckFocusableNamed(read, found);
            CheckNoToolkitNames(read, found);
            bool today = false;
            for (const AccessibleNode& node : read)
                today = today || node.name.rfind(L"Today: 600 of ", 0) == 0;
            if (!today)
                found.failures.push_back("no figure reads as \"Today: 600 of ...\"");
            const AccessibleNode* chart = FindControl(read, {L"wx", 0, L"Steps a day chart"});
            const std::wstring tail = L": 600 steps";
            if (!chart)
                found.failures.push_back("no chart reads as \"Steps a day chart\"");
            else if (chart->description.size() < tail.size() ||
                     chart->description.compare(chart->description.size() - tail.size(),
                                                tail.size(), tail) != 0)
                found.failures.push_back("the chart's description " + Quoted(chart->description) +
                                         " does not tell today's bar");
        },
        tree);
    status |= Report("overview", overviewFound, tree);

    CloseProgram(*running, dialog);
    std::printf("msaa_walk: %s after %.1f s\n", status == 0 ? "passed" : "FAILED",
                SecondsSince(started));
    return status;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fputs("Usage: msaa_walk TREKLINE_EXE [DIRECTORY]\n", stderr);
        return 2;
    }
    // Unbuffered, so that what was found is seen even if the walk hangs.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); FAILED(result)) {
        std::printf("msaa_walk: COM could not be started (0x%08lx)\n",
                    static_cast<unsigned long>(result));
        return 2;
    }
    const fs::path program = WindowsPath(argv[1]);
    int status;
    if (argc == 3) {
        const fs::path directory = WindowsPath(argv[2]);
        std::error_code unknown;
        // The walk writes a diary of its own, which must not take a user's place.
        if (fs::exists(directory / "data.steps", unknown) || unknown) {
            std::printf("msaa_walk: %s holds a diary already, or cannot be looked into\n",
                        Utf8(directory.wstring()).c_str());
            status = 2;
        } else {
            status = Walk(program, directory);
        }
    } else {
        const ScopedTempDir directory;
        status = Walk(program, directory.Path());
    }
    CoUninitialize();
    return status;
}
