// The entry list as Windows' list view shows it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include <wx/frame.h>

#include "EntryListView.h"
#include "ListChanges.h"
#include "ShownItems.h"
#include "StartedToolkit.h"

namespace {

std::vector<StepRecord> Records(const std::vector<std::uint32_t>& counts) {
    std::vector<StepRecord> records;
    std::uint32_t identifier = 1;
    for (std::uint32_t count : counts) {
        StepRecord record;
        record.identifier = identifier++;
        record.steps = count;
        records.push_back(record);
    }
    return records;
}

std::vector<std::string> Texts(const std::vector<ShownEntry>& items) {
    std::vector<std::string> texts;
    for (const EntryItem& item : TextItems(items))
        texts.push_back(item.text);
    return texts;
}

// What the view itself shows: asked of the native control, row by row.
std::vector<std::string> ShownTexts(const EntryListView& list) {
    std::vector<std::string> texts;
    for (long row = 0; row < list.GetItemCount(); ++row)
        texts.push_back(list.GetItemText(row).utf8_string());
    return texts;
}

class EntryListViewTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartToolkit());
        frame_ = new wxFrame(nullptr, wxID_ANY, "list");
        list_ = new EntryListView;
        ASSERT_TRUE(list_->Create(frame_, wxID_ANY, wxDefaultPosition, wxSize(200, 300), 0));
        frame_->Show();
    }

    void TearDown() override {
        if (list_)
            list_->ShowItems(nullptr);
        if (frame_)
            frame_->Destroy();
        wxYield();
    }

    wxFrame* frame_ = nullptr;
    EntryListView* list_ = nullptr;
};

TEST_F(EntryListViewTest, ShowsTheItemsTextsAsTheViewAsksForThem) {
    const std::vector<ShownEntry> items = BuildShownEntries(Records({300, 12000, 45}));
    list_->ShowItems(&items);
    ASSERT_EQ(list_->GetCount(), items.size());
    EXPECT_EQ(ShownTexts(*list_), Texts(items));
    for (unsigned row = 0; row < items.size(); ++row)
        EXPECT_EQ(list_->GetString(row).utf8_string(), Texts(items)[row]);
    EXPECT_EQ(list_->GetString(3), wxString());
}

TEST_F(EntryListViewTest, FollowsTheItemsChanges) {
    const std::vector<StepRecord> before = Records({300, 12000, 45, 7000});
    std::vector<ShownEntry> items = BuildShownEntries(before);
    list_->ShowItems(&items);
    const std::vector<StepRecord> after = Records({300, 45, 7000, 81, 99999});
    const std::vector<std::string> shown = Texts(items);
    const auto changes = ApplyRecordChange(items, before, FindRecordChange(before, after));
    ASSERT_TRUE(changes);
    list_->ShowChanges(*changes);
    EXPECT_EQ(ShownTexts(*list_), ApplyListChanges(shown, Texts(items), *changes));
    EXPECT_EQ(ShownTexts(*list_), Texts(BuildShownEntries(after)));
}

TEST_F(EntryListViewTest, SelectsOneRowOrNone) {
    const std::vector<ShownEntry> items = BuildShownEntries(Records({1, 2, 3, 4}));
    list_->ShowItems(&items);
    EXPECT_EQ(list_->GetSelection(), wxNOT_FOUND);
    list_->SetSelection(2);
    list_->SetSelection(1);
    EXPECT_EQ(list_->GetSelection(), 1);
    EXPECT_EQ(list_->GetSelectedItemCount(), 1);
    list_->SetSelection(wxNOT_FOUND);
    EXPECT_EQ(list_->GetSelection(), wxNOT_FOUND);
    list_->SetSelection(3);
    list_->ShowItems(&items);
    EXPECT_EQ(list_->GetSelection(), wxNOT_FOUND);
}

TEST_F(EntryListViewTest, ActivatingARowIsTheListsDoubleClick) {
    const std::vector<ShownEntry> items = BuildShownEntries(Records({1, 2, 3}));
    list_->ShowItems(&items);
    int clicked = wxNOT_FOUND;
    list_->Bind(wxEVT_LISTBOX_DCLICK, [&](wxCommandEvent& event) { clicked = event.GetInt(); });
    wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, list_->GetId());
    activated.SetEventObject(list_);
    activated.m_itemIndex = 2;
    list_->ProcessWindowEvent(activated);
    EXPECT_EQ(clicked, 2);
}

TEST_F(EntryListViewTest, OneColumnFillsTheRowsWidth) {
    const std::vector<ShownEntry> items = BuildShownEntries(Records({1, 2, 3}));
    list_->ShowItems(&items);
    list_->SetSize(260, 200);
    EXPECT_EQ(list_->GetColumnCount(), 1);
    EXPECT_EQ(list_->GetColumnWidth(0), list_->GetClientSize().x);
}

TEST_F(EntryListViewTest, ShowsADiaryOfDecadesAtOnce) {
    std::vector<std::uint32_t> counts(100000);
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = static_cast<std::uint32_t>(i % 30000 + 1);
    const std::vector<ShownEntry> items = BuildShownEntries(Records(counts));
    const auto start = std::chrono::steady_clock::now();
    list_->ShowItems(&items);
    list_->ScrollToRow(99999);
    frame_->Update();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(list_->GetCount(), 100000u);
    // Formatting every row's text alone takes longer than this.
    EXPECT_LT(took, std::chrono::milliseconds(150));
}

} // namespace
