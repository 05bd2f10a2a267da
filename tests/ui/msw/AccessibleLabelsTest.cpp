// What screen readers are told and what the mnemonics do on Windows.
#include <gtest/gtest.h>

#include <wx/access.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "AccessibleLabels.h"
#include "StartedToolkit.h"

namespace {

wxKeyEvent Key(int code, int modifiers) {
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = code;
    event.SetAltDown(modifiers & wxMOD_ALT);
    event.SetControlDown(modifiers & wxMOD_CONTROL);
    return event;
}

wxString NameOf(wxWindow& window) {
    wxString name;
    wxAccessible* accessible = window.GetAccessible();
    if (!accessible || accessible->GetName(wxACC_SELF, &name) != wxACC_OK)
        return "(none)";
    return name;
}

class AccessibleLabelsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(StartToolkit());
        frame_ = new wxFrame(nullptr, wxID_ANY, "labels");
        panel_ = new wxPanel(frame_);
        // As in the dialog template: another control lies between the label
        // and the edit it names.
        label_ = new wxStaticText(panel_, wxID_ANY, "&Number of steps:", wxPoint(5, 5));
        between_ = new wxTextCtrl(panel_, wxID_ANY, "", wxPoint(5, 30));
        edit_ = new wxTextCtrl(panel_, wxID_ANY, "", wxPoint(5, 60));
        frame_->Show();
        frame_->Raise();
        between_->SetFocus();
    }

    void TearDown() override {
        frame_->Destroy();
        wxYield();
    }

    wxFrame* frame_ = nullptr;
    wxPanel* panel_ = nullptr;
    wxStaticText* label_ = nullptr;
    wxTextCtrl* between_ = nullptr;
    wxTextCtrl* edit_ = nullptr;
};

TEST_F(AccessibleLabelsTest, ALabelNamesItsControlsWithoutItsMnemonic) {
    LabelControls(*label_, {edit_}, *edit_);
    EXPECT_EQ(NameOf(*edit_), "Number of steps:");
    EXPECT_EQ(NameOf(*between_), "(none)");
}

TEST_F(AccessibleLabelsTest, ALabelsMnemonicFocusesItsControlNotTheNextOneWithItsTextSelected) {
    LabelControls(*label_, {edit_}, *edit_);
    edit_->ChangeValue("1");
    edit_->SetInsertionPointEnd();
    ASSERT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == between_; }));
    EXPECT_TRUE(ActivateMnemonic(*frame_, Key('N', wxMOD_ALT)));
    EXPECT_TRUE(WaitUntil([&] { return wxWindow::FindFocus() == edit_; }));
    // A count typed next replaces the "1" rather than making "42001".
    EXPECT_EQ(edit_->GetStringSelection(), "1");
}

TEST_F(AccessibleLabelsTest, AButtonsMnemonicPressesIt) {
    auto* button = new wxButton(panel_, wxID_ANY, "&Add", wxPoint(5, 90));
    int presses = 0;
    button->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { ++presses; });
    EXPECT_TRUE(ActivateMnemonic(*frame_, Key('A', wxMOD_ALT)));
    EXPECT_EQ(presses, 1);
}

TEST_F(AccessibleLabelsTest, ACheckBoxsMnemonicTogglesIt) {
    auto* check = new wxCheckBox(panel_, wxID_ANY, "Draw &values", wxPoint(5, 120));
    bool told = false;
    check->Bind(wxEVT_CHECKBOX, [&](wxCommandEvent& event) { told = event.IsChecked(); });
    EXPECT_TRUE(ActivateMnemonic(*frame_, Key('V', wxMOD_ALT)));
    EXPECT_TRUE(check->GetValue());
    EXPECT_TRUE(told);
}

TEST_F(AccessibleLabelsTest, OnlyAltWithALetterOfAMnemonicIsTaken) {
    LabelControls(*label_, {edit_}, *edit_);
    EXPECT_FALSE(ActivateMnemonic(*frame_, Key('N', wxMOD_NONE)));
    EXPECT_FALSE(ActivateMnemonic(*frame_, Key('N', wxMOD_CONTROL)));
    EXPECT_FALSE(ActivateMnemonic(*frame_, Key('Q', wxMOD_ALT)));
}

TEST_F(AccessibleLabelsTest, ALabelThatLabelsNothingMovesNoFocus) {
    LabelControls(*label_, {edit_}, *edit_);
    LabelNothing(*label_);
    EXPECT_FALSE(ActivateMnemonic(*frame_, Key('N', wxMOD_ALT)));
}

TEST_F(AccessibleLabelsTest, TheNoticeIsReadAsAnAlert) {
    MarkAsNotice(*label_);
    wxAccRole role = wxROLE_NONE;
    ASSERT_NE(label_->GetAccessible(), nullptr);
    EXPECT_EQ(label_->GetAccessible()->GetRole(wxACC_SELF, &role), wxACC_OK);
    EXPECT_EQ(role, wxROLE_SYSTEM_ALERT);
}

TEST_F(AccessibleLabelsTest, AControlIsNamedAndDescribedAsTold) {
    NameForScreenReaders(*edit_, "Steps a day chart");
    DescribeForScreenReaders(*edit_, "The last 30 days");
    NameForScreenReaders(*edit_, "Today against the daily goal");
    EXPECT_EQ(NameOf(*edit_), "Today against the daily goal");
    wxString description;
    EXPECT_EQ(edit_->GetAccessible()->GetDescription(wxACC_SELF, &description), wxACC_OK);
    EXPECT_EQ(description, "The last 30 days");
}

} // namespace
