// The steps edit's arrows on Windows: the system's own up-down control.
#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/spinbutt.h>
#include <wx/textctrl.h>

#include "StartedToolkit.h"
#include "StepsSpinButton.h"

namespace {

wxSpinButton* NativeArrows(StepsSpinButton& spin) {
    for (wxWindow* child : spin.GetChildren())
        if (auto* arrows = dynamic_cast<wxSpinButton*>(child))
            return arrows;
    return nullptr;
}

void Press(wxSpinButton& arrows, wxEventType type) {
    wxSpinEvent event(type, arrows.GetId());
    event.SetEventObject(&arrows);
    arrows.ProcessWindowEvent(event);
}

TEST(SpinArrowsTest, EachArrowStepsTheEditWithinTheRangeAsLongAsPressed) {
    ASSERT_TRUE(StartToolkit());
    auto* frame = new wxFrame(nullptr, wxID_ANY, "arrows");
    auto* edit = new wxTextCtrl(frame, wxID_ANY, "5");
    auto* spin = new StepsSpinButton(frame, wxID_ANY, edit, 1, 7);
    spin->SetSize(16, 24);
    wxSpinButton* arrows = NativeArrows(*spin);
    ASSERT_NE(arrows, nullptr);
    EXPECT_EQ(arrows->GetSize(), spin->GetClientSize());
    // Far more presses than the control's own range holds.
    for (int i = 0; i < 300; ++i)
        Press(*arrows, wxEVT_SPIN_DOWN);
    EXPECT_EQ(edit->GetValue(), "1");
    Press(*arrows, wxEVT_SPIN_UP);
    EXPECT_EQ(edit->GetValue(), "2");
    for (int i = 0; i < 300; ++i)
        Press(*arrows, wxEVT_SPIN_UP);
    EXPECT_EQ(edit->GetValue(), "7");
    frame->Destroy();
    wxYield();
}

} // namespace
