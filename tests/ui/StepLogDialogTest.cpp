// The main dialog in this process, driven with real input events.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/datectrl.h>
#include <wx/dnd.h>
#include <wx/evtloop.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/uiaction.h>
#include <wx/utils.h>

#include <gtk/gtk.h>
#include <sys/stat.h>

#include <fstream>

#include "CStepFile.h"
#include "CStepLogDlg.h"
#include "ControlIds.h"
#include "EntryListView.h"
#include "ImportPreviewDialog.h"
#include "LocalToday.h"
#include "NoticeLine.h"
#include "OverviewChart.h"
#include "OverviewWindow.h"
#include "Settings.h"
#include "StartedToolkit.h"
#include "StepRecord.h"
#include "TempDir.h"
#include "TestDiary.h"

namespace {

// A display is needed; the toolkit then starts once for the whole program.
bool StartWindowSystem() {
    return std::getenv("DISPLAY") && StartToolkit();
}

std::vector<std::string> Texts(const EntryListView& list) {
    std::vector<std::string> texts;
    for (unsigned i = 0; i < list.GetCount(); ++i)
        texts.push_back(list.GetString(i).utf8_string());
    return texts;
}

class StepLogDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!StartWindowSystem())
            GTEST_SKIP() << "needs an X display";
    }
    void TearDown() override {
        if (dialog_)
            dialog_->Destroy();
        wxYield();
    }

    CStepLogDlg& ShowDialog() {
        dialog_ = new CStepLogDlg;
        dialog_->Show();
        EXPECT_TRUE(WaitUntil([this] { return dialog_->IsShownOnScreen(); }));
        wxYield();
        return *dialog_;
    }

    template <typename Control> Control& Find(int id) {
        auto* control = dynamic_cast<Control*>(dialog_->FindWindow(id));
        EXPECT_NE(control, nullptr) << id;
        return *control;
    }

    void ClickAt(wxWindow& window, wxPoint offset) {
        input_.MouseMove(window.GetScreenPosition() + offset);
        wxYield();
        input_.MouseClick();
        wxYield();
    }
    void Click(wxWindow& window) {
        ClickAt(window, wxPoint(window.GetSize().x / 2, window.GetSize().y / 2));
    }
    void ReplaceText(wxWindow& window, const char* text) {
        Click(window);
        input_.Char('a', wxMOD_CONTROL);
        input_.Text(text);
        wxYield();
    }

    NoticeLine& Notice() {
        NoticeLine* notice = nullptr;
        for (wxWindow* child : dialog_->GetChildren())
            if (auto* line = dynamic_cast<NoticeLine*>(child))
                notice = line;
        EXPECT_NE(notice, nullptr);
        return *notice;
    }

    // The rows the list shows, first and last, once it has been drawn.
    std::pair<int, int> VisibleRows(EntryListView& list) {
        GtkWidget* view = gtk_bin_get_child(GTK_BIN(list.GetHandle()));
        GtkTreePath* first = nullptr;
        GtkTreePath* last = nullptr;
        EXPECT_TRUE(WaitUntil(
            [&] { return gtk_tree_view_get_visible_range(GTK_TREE_VIEW(view), &first, &last); }));
        const std::pair<int, int> rows(gtk_tree_path_get_indices(first)[0],
                                       gtk_tree_path_get_indices(last)[0]);
        gtk_tree_path_free(first);
        gtk_tree_path_free(last);
        return rows;
    }

    // An entry `days` days before today; the overview's tests keep their
    // figures under a thousand, which read the same in every locale, against
    // a goal of 800.
    StepRecord EntryDaysAgo(std::uint32_t steps, int days, std::uint32_t identifier) {
        std::ofstream(settings_.Path() / "trekline.conf") << "DailyGoal=800\n";
        const std::chrono::year_month_day date(LocalToday() - std::chrono::days(days));
        return DiaryEntry(steps, static_cast<int>(date.year()),
                          static_cast<int>(static_cast<unsigned>(date.month())),
                          static_cast<int>(static_cast<unsigned>(date.day())), identifier);
    }

    std::vector<OverviewWindow*> Overviews() {
        std::vector<OverviewWindow*> found;
        for (wxWindow* window : wxTopLevelWindows)
            if (auto* overview = dynamic_cast<OverviewWindow*>(window))
                found.push_back(overview);
        return found;
    }

    // Presses the dialog's Overview button and gives the window it opens.
    OverviewWindow& OpenOverview() {
        Click(Find<wxButton>(kOverviewCommandId));
        EXPECT_TRUE(
            WaitUntil([&] { return Overviews().size() == 1 && Overviews()[0]->IsShown(); }));
        return *Overviews().at(0);
    }

    static std::string Figure(wxWindow& overview, const char* name) {
        auto* text = dynamic_cast<wxStaticText*>(overview.FindWindow(name));
        return text ? text->GetLabel().utf8_string() : std::string("(none)");
    }

    // The window's settings are the test's own, never the user's.
    ScopedSettingsHome settings_;
    wxUIActionSimulator input_;
    CStepLogDlg* dialog_ = nullptr;
};

} // namespace

TEST_F(StepLogDialogTest, ShowsDefaultsAndTheDiaryInDateOrder) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(950, 2006, 4, 3, 1, 1), DiaryEntry(900, 2006, 4, 3, 2, 1),
                DiaryEntry(1000, 2006, 4, 3, 3, 1), DiaryEntry(5, 1999, 12, 31, 4, 5)});
    CStepLogDlg& dialog = ShowDialog();

    EXPECT_EQ(Find<wxTextCtrl>(1003).GetValue(), "1");
    EXPECT_EQ(Find<wxTextCtrl>(1009).GetValue(), "100");
    EXPECT_FALSE(Find<wxCheckBox>(1013).GetValue());
    EXPECT_EQ(Find<wxDatePickerCtrl>(1001).GetValue(), wxDateTime::Today());
    for (int id : {1005, 1007, 1008, 1012})
        EXPECT_NE(dynamic_cast<wxButton*>(dialog.FindWindow(id)), nullptr) << id;
    EXPECT_NE(dialog.FindWindow(1004), nullptr);
    EXPECT_NE(dialog.FindWindow(1045), nullptr);
    EXPECT_EQ(dialog.StartDirectory(), dir.Path());
    EXPECT_EQ(
        Texts(Find<EntryListView>(1006)),
        (std::vector<std::string>{"Date: 1999.12.31, steps: 5", "Date: 2006.04.03, steps: 1000",
                                  "Date: 2006.04.03, steps: 900", "Date: 2006.04.03, steps: 950"}));
}

TEST_F(StepLogDialogTest, AddAndDeleteByMouseAndKeys) {
    ScopedTempDir dir;
    const StepRecord first = DiaryEntry(950, 2006, 4, 3, 1, 1);
    const StepRecord second = DiaryEntry(900, 2006, 6, 1, 2, 4);
    WriteDiary({first, second});
    ShowDialog();
    auto& list = Find<EntryListView>(1006);
    ASSERT_EQ(list.GetCount(), 2u);

    ReplaceText(Find<wxDatePickerCtrl>(1001), "05/05/2006");
    ReplaceText(Find<wxTextCtrl>(1003), "1,234");
    Click(Find<wxButton>(1005));
    ASSERT_TRUE(WaitUntil([&] { return list.GetCount() == 3; }));
    const StepRecord added = DiaryEntry(1234, 2006, 5, 5, 3, 5);
    EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes({first, second, added}));
    EXPECT_EQ(list.GetString(1), "Date: 2006.05.05, steps: 1234");

    // The up arrow steps from the typed count.
    auto& steps = Find<wxTextCtrl>(1003);
    auto& spin = *dialog_->FindWindow(1004);
    ClickAt(spin, wxPoint(spin.GetSize().x / 2, 2));
    ASSERT_TRUE(WaitUntil([&] { return steps.GetValue() == "1235"; }));

    // A count that cannot be stored adds nothing.
    steps.ChangeValue("-5");
    Click(Find<wxButton>(1005));
    wxYield();
    EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes({first, second, added}));

    // Delete with nothing selected does nothing; the Add had selected its entry.
    list.SetSelection(wxNOT_FOUND);
    Click(Find<wxButton>(1007));
    wxYield();
    EXPECT_EQ(list.GetCount(), 3u);
    EXPECT_FALSE(std::filesystem::exists("data.tmp"));

    // Select the middle item (the added one) with the keyboard and delete it.
    ClickAt(list, wxPoint(20, 8));
    ASSERT_TRUE(WaitUntil([&] { return list.GetSelection() == 0; }));
    input_.Char(WXK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return list.GetSelection() == 1; }));
    Click(Find<wxButton>(1007));
    ASSERT_TRUE(WaitUntil([&] { return list.GetCount() == 2; }));
    EXPECT_EQ(ReadFileBytes("data.steps"), DiaryBytes({first, second}));
    EXPECT_EQ(list.GetSelection(), wxNOT_FOUND);
    EXPECT_EQ(list.GetString(0), "Date: 2006.04.03, steps: 950");
    EXPECT_EQ(list.GetString(1), "Date: 2006.06.01, steps: 900");

    // A right click chooses the row its menu will act on (the menu itself is
    // held back here, where it would wait for a choice).
    bool menuAsked = false;
    list.Bind(wxEVT_CONTEXT_MENU, [&](wxContextMenuEvent&) { menuAsked = true; });
    input_.MouseMove(list.GetScreenPosition() + wxPoint(20, 8 + list.GetCharHeight() * 3 / 2));
    wxYield();
    input_.MouseClick(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(WaitUntil([&] { return menuAsked; }));
    EXPECT_EQ(list.GetSelection(), 1);
}

TEST_F(StepLogDialogTest, TheCloseBoxEndsTheDialog) {
    ScopedTempDir dir;
    CStepLogDlg dialog;
    dialog.CallAfter([&dialog] { dialog.Close(); });
    EXPECT_EQ(dialog.ShowModal(), wxID_CANCEL);
}

TEST_F(StepLogDialogTest, SaveHtmlReportWritesBesideTheDiaryAndOpensThePage) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(8000, 2006, 3, 5, 1, 0), DiaryEntry(500, 2006, 3, 1, 2, 3),
                DiaryEntry(12000, 2006, 3, 11, 3, 6)});
    std::filesystem::create_directory("elsewhere");
    CStepLogDlg& dialog = ShowDialog();
    std::vector<std::string> opened;
    dialog.SetDocumentOpener([&](const std::string& path) { opened.push_back(path); });

    // The current directory changing after the start moves none of the files.
    std::filesystem::current_path("elsewhere");
    Click(Find<wxButton>(1008));
    ASSERT_TRUE(WaitUntil([&] { return !opened.empty(); }));
    EXPECT_EQ(opened, std::vector<std::string>{(dir.Path() / "out.html").string()});
    EXPECT_EQ(DirectoryNames(dir.Path()),
              (std::vector<std::string>{"data.steps", "data_steps.bmp", "elsewhere", "out.html"}));
    EXPECT_TRUE(DirectoryNames(dir.Path() / "elsewhere").empty());
    EXPECT_EQ(std::filesystem::file_size(dir.Path() / "data_steps.bmp"), 600054u);
    // Rows in list order: 1, 5 and 11 March.
    std::vector<unsigned char> page = ReadFileBytes(dir.Path() / "out.html");
    std::string text(page.begin(), page.end());
    EXPECT_LT(text.find("2006 March 01"), text.find("2006 March 05"));
    EXPECT_LT(text.find("2006 March 05"), text.find("2006 March 11"));
    EXPECT_NE(text.find("8000.00m."), std::string::npos);

    // A page that cannot be written is not handed to the browser.
    std::filesystem::remove(dir.Path() / "out.html");
    std::filesystem::create_directory(dir.Path() / "out.html");
    Click(Find<wxButton>(1008));
    wxYield();
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "out.html"));
}

TEST_F(StepLogDialogTest, SaveHtmlReportWithAnEmptyListCreatesNothing) {
    ScopedTempDir dir;
    CStepLogDlg& dialog = ShowDialog();
    bool opened = false;
    dialog.SetDocumentOpener([&](const std::string&) { opened = true; });
    std::filesystem::remove("data.steps");
    Click(Find<wxButton>(1008));
    wxYield();
    EXPECT_FALSE(opened);
    EXPECT_TRUE(DirectoryNames(dir.Path()).empty());
}

TEST_F(StepLogDialogTest, HelpButtonAndF1OpenTheHelpPage) {
    ScopedTempDir dir;
    CStepLogDlg& dialog = ShowDialog();
    std::vector<std::string> opened;
    dialog.SetDocumentOpener([&](const std::string& path) { opened.push_back(path); });
    Click(Find<wxButton>(1012));
    ASSERT_TRUE(WaitUntil([&] { return opened.size() == 1; }));
    EXPECT_TRUE(opened[0].ends_with("help/index.html")) << opened[0];
    EXPECT_TRUE(std::filesystem::exists(opened[0]));

    Click(Find<wxTextCtrl>(1003));
    input_.Char(WXK_F1);
    ASSERT_TRUE(WaitUntil([&] { return opened.size() >= 2; }));
    wxYield();
    EXPECT_EQ(opened.size(), 2u) << "F1 opens the page once";
}

namespace {

// Puts the text on the clipboard and pastes it over the edit's contents.
void PasteInto(wxUIActionSimulator& input, wxTextCtrl& edit, const std::string& text) {
    ASSERT_TRUE(wxTheClipboard->Open());
    wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text)));
    wxTheClipboard->Close();
    edit.SetFocus();
    wxYield();
    input.Char('a', wxMOD_CONTROL);
    input.Char('v', wxMOD_CONTROL);
    wxYield();
}

} // namespace

TEST_F(StepLogDialogTest, HostilePastesNeitherCrashNorStoreNonsense) {
    ScopedTempDir dir;
    CStepLogDlg& dialog = ShowDialog();
    std::vector<std::string> opened;
    dialog.SetDocumentOpener([&](const std::string& path) { opened.push_back(path); });
    auto& steps = Find<wxTextCtrl>(1003);
    auto& list = Find<EntryListView>(1006);

    // What each pasted steps text stores; no value: nothing is added.
    const std::vector<std::pair<std::string, std::optional<std::uint32_t>>> cases = {
        {std::string(10000, '7'), std::nullopt},
        {"12" + std::string(9998, 'x'), 12u},
        {std::string(10000, '\x01'), 0u},
        {"\t\n 42\x7f\x1b[31m", 42u},
        {"\xD9\xA3\xD9\xA4 steps \xF0\x9F\x98\x80", 0u},
        {"-" + std::string(9999, '9'), std::nullopt},
        {"9 999 999", 9999999u},
    };
    std::size_t expectedEntries = 0;
    for (const auto& [text, stored] : cases) {
        const std::vector<unsigned char> before = ReadFileBytes("data.steps");
        PasteInto(input_, steps, text);
        EXPECT_EQ(steps.GetValue().utf8_string().substr(0, 40), text.substr(0, 40))
            << "the paste arrived";
        Click(Find<wxButton>(1005));
        wxYield();
        std::vector<unsigned char> after = ReadFileBytes("data.steps");
        if (!stored) {
            EXPECT_EQ(after, before) << text.substr(0, 20);
            continue;
        }
        ++expectedEntries;
        ASSERT_EQ(after.size(), before.size() + kStepRecordSize) << text.substr(0, 20);
        EXPECT_EQ(DecodeStepRecord(&after[before.size()]).steps, *stored) << text.substr(0, 20);
        EXPECT_TRUE(WaitUntil([&] { return list.GetCount() == expectedEntries; }));
    }

    // The step length edit takes the same abuse; the report still comes out.
    PasteInto(input_, Find<wxTextCtrl>(1009), std::string(10000, '9') + "\x01\xF0\x9F\x98\x80");
    Click(Find<wxButton>(1008));
    ASSERT_TRUE(WaitUntil([&] { return opened.size() == 1; }));
    std::vector<unsigned char> page = ReadFileBytes("out.html");
    std::string text(page.begin(), page.end());
    // 42 steps at the largest step length the text can give, 4294967295 cm.
    EXPECT_NE(text.find(">1803886263.90m."), std::string::npos);
}

TEST_F(StepLogDialogTest, FollowsAnotherWritersChangesWithoutMovingTheSelection) {
    ScopedTimeZone zone("UTC0");
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1000, 2024, 5, 1, 1), DiaryEntry(2000, 2024, 5, 2, 2),
                DiaryEntry(3000, 2024, 5, 3, 3)});
    ShowDialog();
    auto& list = Find<EntryListView>(1006);
    list.SetSelection(1);

    // Another writer adds an earlier entry and removes a later one.
    StepRecord added = DiaryEntry(9999, 2024, 4, 15);
    CStepFile(HereFiles()).Append(added);
    CStepFile(HereFiles()).DeleteById(3);
    ASSERT_TRUE(WaitUntil(
        [&] { return list.GetCount() == 3 && list.GetString(0).StartsWith("Date: 2024.04.15"); }));
    EXPECT_EQ(list.GetString(2), "Date: 2024.05.02, steps: 2000");
    EXPECT_EQ(list.GetSelection(), 2) << "still on 2 May";

    // The selected entry goes: no other row takes the selection.
    CStepFile(HereFiles()).DeleteById(2);
    ASSERT_TRUE(WaitUntil([&] { return list.GetCount() == 2; }));
    EXPECT_EQ(list.GetSelection(), wxNOT_FOUND);
}

TEST_F(StepLogDialogTest, TheReportShowsTheDiaryAsItIsNotAsTheListLastShowedIt) {
    ScopedTimeZone zone("UTC0");
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(1000, 2024, 5, 1, 1)});
    CStepLogDlg& dialog = ShowDialog();
    std::vector<std::string> opened;
    dialog.SetDocumentOpener([&](const std::string& path) { opened.push_back(path); });

    // Pressed before the window has heard of the change.
    StepRecord added = DiaryEntry(2000, 2024, 5, 2);
    CStepFile(HereFiles()).Append(added);
    wxCommandEvent press(wxEVT_BUTTON, 1008);
    dialog.ProcessWindowEvent(press);
    ASSERT_EQ(opened.size(), 1u);
    std::vector<unsigned char> page = ReadFileBytes("out.html");
    EXPECT_NE(std::string(page.begin(), page.end()).find("2024 May 02"), std::string::npos);
    EXPECT_EQ(Find<EntryListView>(1006).GetCount(), 2u);
}

namespace {

// Answers the import preview once it is shown: keeps what it says, then
// presses the button with that id.
class PreviewAnswer {
public:
    PreviewAnswer(wxUIActionSimulator& input, int button) : input_(input), button_(button) {
        timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Answer(); });
        timer_.Start(50);
    }
    const std::vector<std::string>& Texts() const { return texts_; }

private:
    void Answer() {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* preview = dynamic_cast<ImportPreviewDialog*>(window);
            if (!preview || !preview->IsShownOnScreen())
                continue;
            timer_.Stop();
            for (wxWindow* child : preview->GetChildren())
                if (auto* text = dynamic_cast<wxStaticText*>(child))
                    texts_.push_back(text->GetLabel().utf8_string());
            wxWindow* button = preview->FindWindow(button_);
            input_.MouseMove(button->GetScreenPosition() + button->GetSize() / 2);
            input_.MouseClick();
            return;
        }
    }

    wxUIActionSimulator& input_;
    int button_;
    wxTimer timer_;
    std::vector<std::string> texts_;
};

bool Mentions(const std::vector<std::string>& texts, const std::string& part) {
    return std::ranges::any_of(
        texts, [&](const std::string& t) { return t.find(part) != std::string::npos; });
}

} // namespace

TEST_F(StepLogDialogTest, CtrlIImportsAChosenFileAfterItsPreview) {
    ScopedTempDir dir;
    WriteDiary({DiaryEntry(12, 2006, 5, 5, 1, 5)});
    const std::string offered = "date,steps\n2006-05-05,99\n2006-05-06,5\n2006-05-07,x\n";
    WriteFileBytes("offered.csv", {offered.begin(), offered.end()});
    CStepLogDlg& dialog = ShowDialog();
    dialog.SetFileChooser([](FileChoice) { return std::filesystem::path("offered.csv"); });

    PreviewAnswer answer(input_, kUseFileForConflictsId);
    Click(Find<wxTextCtrl>(kStepsEditId));
    input_.Char('i', wxMOD_CONTROL);
    const std::vector<std::string> imported = {"Date: 2006.05.05, steps: 99",
                                               "Date: 2006.05.06, steps: 5"};
    EXPECT_TRUE(WaitUntil([&] { return Texts(Find<EntryListView>(kEntryListId)) == imported; }));
    for (const char* count :
         {"New entries: 1", "Dates already in the diary: 0", "Conflicting dates: 1",
          "Rows that cannot be read: 1", "line 4: the step count"})
        EXPECT_TRUE(Mentions(answer.Texts(), count)) << count;
}

TEST_F(StepLogDialogTest, DroppedFilesAreImportedAndCtrlEExports) {
    ScopedTempDir dir;
    const std::string offered = "day;count\n2006/05/06;5\n";
    WriteFileBytes("offered.csv", {offered.begin(), offered.end()});
    CStepLogDlg& dialog = ShowDialog();
    // Xvfb has no drag source to drive XDND with, so the drop comes to the
    // window's drop target as the toolkit would hand it over.
    auto* target = dynamic_cast<wxFileDropTarget*>(dialog.GetDropTarget());
    ASSERT_NE(target, nullptr);
    PreviewAnswer answer(input_, wxID_OK);
    wxArrayString dropped;
    dropped.Add((dir.Path() / "offered.csv").string());
    EXPECT_TRUE(target->OnDropFiles(10, 10, dropped));
    EXPECT_TRUE(WaitUntil([&] { return Find<EntryListView>(kEntryListId).GetCount() == 1; }));

    dialog.SetFileChooser([](FileChoice choice) {
        return choice == FileChoice::kExport ? std::optional(std::filesystem::path("out.csv"))
                                             : std::nullopt;
    });
    Click(Find<wxTextCtrl>(kStepsEditId));
    input_.Char('e', wxMOD_CONTROL);
    EXPECT_TRUE(WaitUntil([] { return std::filesystem::exists("out.csv"); }));
    const std::string csv = "date,steps\r\n2006-05-06,5\r\n";
    EXPECT_EQ(ReadFileBytes("out.csv"), std::vector<unsigned char>(csv.begin(), csv.end()));
}

// Text typed into the date picker that is no date is never turned into the
// date the picker showed before: Add refuses and names it. A date typed as
// YYYY-MM-DD is taken in any locale.
TEST_F(StepLogDialogTest, ATypedDateIsAddedOnlyWhenItIsADate) {
    ScopedTempDir dir;
    ShowDialog();
    auto& list = Find<EntryListView>(1006);
    auto& picker = Find<wxDatePickerCtrl>(1001);
    ReplaceText(picker, "13/45/2020");
    ReplaceText(Find<wxTextCtrl>(1003), "7");
    Click(Find<wxButton>(1005));
    wxYield();
    NoticeLine* notice = &Notice();
    EXPECT_EQ(notice->GetLabel(), "\"13/45/2020\" is not a date: the entry was not added.");
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_TRUE(ReadFileBytes("data.steps").empty());

    ReplaceText(picker, "2026-11-30");
    Click(Find<wxButton>(1005));
    ASSERT_TRUE(WaitUntil([&] { return list.GetCount() == 1; })) << notice->GetLabel();
    EXPECT_EQ(list.GetString(0), "Date: 2026.11.30, steps: 7");
}

TEST_F(StepLogDialogTest, TheListOpensOnTheLatestDayAndAnAddShowsItsEntryAndTheDaysTotal) {
    ScopedTimeZone zone("UTC0");
    ScopedTempDir dir;
    std::vector<StepRecord> records;
    for (int day = 1; day <= 60; ++day)
        records.push_back(DiaryEntry(100, 2026, 10 + (day - 1) / 30, 1 + (day - 1) % 30,
                                     static_cast<std::uint32_t>(day)));
    WriteDiary(records);
    ShowDialog();
    auto& list = Find<EntryListView>(kEntryListId);
    EXPECT_EQ(VisibleRows(list).second, 59);
    EXPECT_EQ(list.GetSelection(), wxNOT_FOUND);

    // An entry for the first day goes to the top of the list, out of sight.
    ReplaceText(Find<wxDatePickerCtrl>(kDatePickerId), "2026-10-01");
    ReplaceText(Find<wxTextCtrl>(kStepsEditId), "4321");
    Click(Find<wxButton>(kAddButtonId));
    ASSERT_TRUE(WaitUntil([&] { return list.GetCount() == 61; }));
    EXPECT_EQ(list.GetString(static_cast<unsigned>(list.GetSelection())),
              "Date: 2026.10.01, steps: 4321");
    EXPECT_TRUE(WaitUntil([&] { return VisibleRows(list).first <= list.GetSelection(); }));
    EXPECT_EQ(Notice().GetLabel(), "Added 4,321 steps on 2026.10.01: 4,421 that day");
}

TEST_F(StepLogDialogTest, UnreadableSettingsGiveTheFirstStartsValuesAndNoWindowOfComplaint) {
    ScopedTempDir dir;
    static constexpr char kGarbage[] = "\0\xFF[[=\n=\n\x01StepLength\n[DrawValuesInGraph\n";
    const std::filesystem::path file = settings_.Path() / "trekline.conf";
    const auto write = [&file](const std::string& text) {
        WriteFileBytes(file, {text.begin(), text.end()});
    };
    const std::vector<std::pair<std::string, std::function<void()>>> cases = {
        {"garbage", [&] { write(std::string(kGarbage, sizeof kGarbage - 1)); }},
        {"huge", [&] { write("StepLength=99999999999999999999\nDrawValuesInGraph=99\n"); }},
        {"negative", [&] { write("StepLength=-75\nDrawValuesInGraph=-1\n"); }},
        {"a directory", [&] { std::filesystem::create_directory(file); }},
        {"a FIFO", [&] { mkfifo(file.c_str(), 0600); }},
    };
    for (const auto& [name, make] : cases) {
        std::filesystem::remove_all(file);
        make();
        ShowDialog();
        EXPECT_EQ(Find<wxTextCtrl>(kStepLengthEditId).GetValue(), "100") << name;
        EXPECT_FALSE(Find<wxCheckBox>(kChartValuesCheckId).GetValue()) << name;
        // Keeping a change where nothing can be kept still changes the window.
        Find<wxTextCtrl>(kStepLengthEditId).SetValue("75");
        wxYield();
        EXPECT_EQ(wxTopLevelWindows.size(), 1u) << name;
        dialog_->Destroy();
        dialog_ = nullptr;
        wxYield();
    }
}

TEST_F(StepLogDialogTest, TheOverviewOpensOnceAndFollowsAnAddInTheDialog) {
    ScopedTimeZone zone("UTC0");
    ScopedTempDir dir;
    WriteDiary({EntryDaysAgo(500, 40, 1), EntryDaysAgo(600, 0, 2)});
    ShowDialog();
    OverviewWindow& overview = OpenOverview();
    EXPECT_EQ(Figure(overview, "today_figure"), "600 of 800 steps (75%)");
    EXPECT_EQ(Figure(overview, "week_steps_figure"), "600");
    // A screen reader reads what the figure is along with its value.
    auto* todayText = overview.FindWindow("today_figure");
    ASSERT_NE(todayText, nullptr);
    EXPECT_STREQ(atk_object_get_name(gtk_widget_get_accessible(todayText->GetHandle())),
                 "Today: 600 of 800 steps (75%)");

    // A second press brings the same window forward.
    Click(Find<wxButton>(kOverviewCommandId));
    wxYield();
    EXPECT_EQ(Overviews().size(), 1u);

    // Without a window manager the keys go to the window raised last.
    dialog_->Raise();
    wxYield();
    ReplaceText(Find<wxTextCtrl>(kStepsEditId), "150");
    Click(Find<wxButton>(kAddButtonId));
    EXPECT_TRUE(WaitUntil([&] {
        return Figure(overview, "today_figure") == "750 of 800 steps (93%)";
    })) << Figure(overview, "today_figure");
    EXPECT_EQ(Figure(overview, "week_steps_figure"), "750");
}

TEST_F(StepLogDialogTest, TheOverviewKeepsAGoalItAcceptsAndSaysWhyItRefusesOne) {
    ScopedTimeZone zone("UTC0");
    ScopedTempDir dir;
    WriteDiary({EntryDaysAgo(600, 0, 1)});
    ShowDialog();
    OverviewWindow& overview = OpenOverview();
    auto* edit = dynamic_cast<wxTextCtrl*>(overview.FindWindow("daily_goal_edit"));
    auto* refusal = overview.FindWindow("goal_refusal");
    ASSERT_TRUE(edit && refusal);
    struct Case {
        const char* typed;
        bool refused;
        const char* today;
    };
    for (const Case& c :
         {Case{"12x", true, "600 of 800 steps (75%)"}, Case{"0", true, "600 of 800 steps (75%)"},
          Case{"4294967296", true, "600 of 800 steps (75%)"},
          Case{"900", false, "600 of 900 steps (66%)"}}) {
        // All at once, as a paste brings it: typed, each text on the way that
        // is a goal would be kept.
        edit->SetValue(c.typed);
        wxYield();
        EXPECT_EQ(refusal->IsShown(), c.refused) << c.typed;
        EXPECT_EQ(Figure(overview, "today_figure"), c.today) << c.typed;
    }
    EXPECT_EQ(Settings().DailyGoal(), 900u);
}

TEST_F(StepLogDialogTest, TheChartsHighlightFollowsTheArrowKeysAndThePointer) {
    ScopedTimeZone zone("UTC0");
    ScopedTempDir dir;
    WriteDiary({EntryDaysAgo(300, 1, 1), EntryDaysAgo(600, 0, 2)});
    ShowDialog();
    OverviewWindow& overview = OpenOverview();
    OverviewChart* chart = nullptr;
    for (wxWindow* panel : overview.GetChildren())
        for (wxWindow* child : panel->GetChildren())
            if (auto* found = dynamic_cast<OverviewChart*>(child))
                chart = found;
    ASSERT_NE(chart, nullptr);
    const auto description = [&] {
        return std::string(
            atk_object_get_description(gtk_widget_get_accessible(chart->GetHandle())));
    };
    const auto endsWith = [](const wxString& text, const char* end) { return text.EndsWith(end); };
    EXPECT_TRUE(endsWith(chart->HighlightText(), ": 600 steps")) << chart->HighlightText();

    // Keys: today is the last of the seven bars, yesterday the one before.
    // Without a window manager the keys go to the window raised last.
    overview.Raise();
    chart->SetFocus();
    ASSERT_TRUE(WaitUntil([&] { return chart->HasFocus(); }));
    for (const auto& [key, end] :
         {std::pair{WXK_LEFT, ": 300 steps"}, std::pair{WXK_LEFT, ": no steps"},
          std::pair{WXK_END, ": 600 steps"}}) {
        input_.Char(key);
        EXPECT_TRUE(WaitUntil([&] { return endsWith(chart->HighlightText(), end); }))
            << chart->HighlightText();
        EXPECT_EQ(description(), chart->HighlightText().utf8_string());
    }

    // The pointer over the middle bar, three days ago, which has none.
    input_.MouseMove(chart->GetScreenPosition() +
                     wxPoint(chart->GetClientSize().x / 2, chart->GetClientSize().y / 2));
    wxYield();
    EXPECT_TRUE(WaitUntil([&] { return endsWith(chart->HighlightText(), ": no steps"); }))
        << chart->HighlightText();
    EXPECT_EQ(description(), chart->HighlightText().utf8_string());
}
