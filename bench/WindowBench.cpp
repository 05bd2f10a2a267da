// Times the real dialog at one diary size: creating it until it is shown and
// idle, and Add, Delete and Save HTML Report each until the window is idle
// again with the rebuilt list drawn. Prints one table row per command.
// Run once per size (bench/run.sh does), so that each size's peak memory is
// its own.
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <vector>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

#include "CStepFile.h"
#include "CStepLogDlg.h"
#include "ControlIds.h"
#include "DiaryFixture.h"
#include "EntryDate.h"
#include "EntryListView.h"
#include "FloorWork.h"
#include "LocalClock.h"
#include "OverviewWindow.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class BenchApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

// Lets the window handle everything pending, painting included.
void UntilIdle() {
    for (int i = 0; i < 3; ++i) {
        wxTheApp->ProcessPendingEvents();
        while (wxEventLoopBase::GetActive()->Pending())
            wxEventLoopBase::GetActive()->Dispatch();
        wxTheApp->ProcessIdle();
    }
}

double Milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double Median(std::vector<double> times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

// Process time, this program's own work: a command that changes what is on
// screen may also wait for the display's next frame, at most 1/60 s, and
// only that wait tells two commands apart that do the same work.
double CpuMilliseconds(std::clock_t since) {
    return 1000.0 * static_cast<double>(std::clock() - since) / CLOCKS_PER_SEC;
}

struct CommandTime {
    double wall = 0; // until the window is idle again
    double cpu = 0;
};

// With `paintEveryFrame` each round also waits for every window to be drawn
// again, as the display's next frame would.
CommandTime TimeCommand(CStepLogDlg& dialog, int id, int rounds,
                        const std::function<void()>& before = {}, bool paintEveryFrame = false) {
    std::vector<double> times, cpuTimes;
    for (int i = 0; i < rounds; ++i) {
        if (before)
            before();
        const auto start = Clock::now();
        const std::clock_t cpuStart = std::clock();
        wxCommandEvent click(wxEVT_BUTTON, id);
        dialog.ProcessWindowEvent(click);
        UntilIdle();
        if (paintEveryFrame) {
            for (wxWindow* window : wxTopLevelWindows)
                window->Update();
            UntilIdle();
        }
        times.push_back(Milliseconds(start));
        cpuTimes.push_back(CpuMilliseconds(cpuStart));
    }
    return {Median(times), Median(cpuTimes)};
}

// Another writer changes the diary before each round; the round times the
// window's refresh, which its file watcher would start, until it is idle
// again with the changed rows drawn.
double TimeRefresh(CStepLogDlg& dialog, int rounds, const std::function<void()>& change) {
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        change();
        const auto start = Clock::now();
        dialog.RefreshList();
        UntilIdle();
        times.push_back(Milliseconds(start));
    }
    return Median(times);
}

} // namespace

int main(int argc, char** argv) {
    const auto entries =
        static_cast<std::uint32_t>(argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 36500);
    wxApp::SetInstance(new BenchApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit())
        return 1;
    wxEventLoop loop;
    wxEventLoopBase::SetActive(&loop);
    PinLocalTimeZone();

    const fs::path work = MakeBenchDirectory();
    if (work.empty())
        return 1;
    fs::current_path(work);
    WriteDailyDiary(DiaryFilesIn({}).steps, entries);

    const auto start = Clock::now();
    auto* dialog = new CStepLogDlg;
    dialog->Show();
    while (!dialog->IsShownOnScreen())
        UntilIdle();
    UntilIdle();
    const double shown = Milliseconds(start);
    dialog->SetDocumentOpener([](const std::string&) {});

    auto* list = dynamic_cast<EntryListView*>(dialog->FindWindow(1006));
    const double add = TimeCommand(*dialog, 1005, 5).wall;
    const double remove = TimeCommand(*dialog, 1007, 5, [list] { list->SetSelection(100); }).wall;
    const double report = TimeCommand(*dialog, 1008, 3).wall;
    const DiaryFiles files = DiaryFilesIn({});
    auto appendElsewhere = [&files] {
        StepRecord record;
        record.steps = 1234;
        SetEntryDate(record, std::chrono::year{2026} / 2 / 1);
        CStepFile(files).Append(record);
    };
    // An old entry, far from where the window's own changes go.
    std::uint32_t oldEntry = 1000;
    auto deleteElsewhere = [&files, &oldEntry] { CStepFile(files).DeleteById(oldEntry++); };
    const double refreshAppended = TimeRefresh(*dialog, 5, appendElsewhere);
    const double refreshDeleted = TimeRefresh(*dialog, 5, deleteElsewhere);
    const double addAfterDelete = TimeCommand(*dialog, 1005, 5, deleteElsewhere).wall;
    const double deleteAfterAppend = TimeCommand(*dialog, 1007, 5, [&] {
        appendElsewhere();
        list->SetSelection(100);
    }).wall;

    // The overview: opened, then the Add with it open, which follows the
    // list's change, and the same Add with it closed.
    const auto openOverview = [&dialog] {
        wxCommandEvent open(wxEVT_BUTTON, kOverviewCommandId);
        dialog->ProcessWindowEvent(open);
        UntilIdle();
    };
    const auto closeOverview = [] {
        for (wxWindow* window : wxTopLevelWindows)
            if (dynamic_cast<OverviewWindow*>(window))
                window->Destroy();
        UntilIdle();
    };
    const auto opening = Clock::now();
    openOverview();
    const double overviewOpened = Milliseconds(opening);
    const CommandTime addWithOverview = TimeCommand(*dialog, 1005, 15);
    const CommandTime paintedWithOverview = TimeCommand(*dialog, 1005, 15, {}, true);
    closeOverview();
    const CommandTime addWithoutOverview = TimeCommand(*dialog, 1005, 15);
    const CommandTime paintedWithoutOverview = TimeCommand(*dialog, 1005, 15, {}, true);

    // The floors: the least file work each needs, without the window: an
    // append alone; the diary read once and written less one record, durably.
    auto timeAlone = [](int rounds, const std::function<void()>& alone) {
        std::vector<double> times;
        for (int i = 0; i < rounds; ++i) {
            const auto begin = Clock::now();
            alone();
            times.push_back(Milliseconds(begin));
        }
        return Median(times);
    };
    const double appendAlone = timeAlone(5, appendElsewhere);
    const double deleteAlone = timeAlone(5, [&files] { WriteWithoutOneRecord(files.steps); });
    const double readAlone = timeAlone(5, [&files] { CStepFile(files).ReadAll(); });

    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    const double peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
    auto row = [&](const char* name, double ms, double floorMs) {
        std::printf("%-34s %10u %12.2f %10.1f %10.2f %8.1f\n", name, entries, ms, peakMb, floorMs,
                    floorMs > 0 ? ms / floorMs : 0.0);
    };
    row("window: create to idle", shown, 0);
    row("window: Add + list shown", add, appendAlone);
    row("window: Delete + list shown", remove, deleteAlone);
    row("window: Save HTML Report (no values)", report, 0);
    row("window: refresh, other append", refreshAppended, readAlone);
    row("window: refresh, other delete", refreshDeleted, readAlone);
    row("window: Add after other delete", addAfterDelete, appendAlone);
    row("window: Delete after other add", deleteAfterAppend, deleteAlone);
    row("window: open the overview", overviewOpened, readAlone);
    row("window: Add, overview open", addWithOverview.wall, addWithoutOverview.wall);
    row("window: Add, overview closed", addWithoutOverview.wall, appendAlone);
    row("window: Add, overview open, CPU", addWithOverview.cpu, addWithoutOverview.cpu);
    row("window: Add, overview closed, CPU", addWithoutOverview.cpu, 0);
    row("window: Add painted, overview open", paintedWithOverview.wall,
        paintedWithoutOverview.wall);
    row("window: Add painted, overview closed", paintedWithoutOverview.wall, 0);

    dialog->Destroy();
    UntilIdle();
    fs::current_path("/");
    fs::remove_all(work);
    wxEntryCleanup();
    return 0;
}
