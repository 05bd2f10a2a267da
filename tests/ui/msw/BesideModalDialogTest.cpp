// A window opened beside the modal main dialog takes input on Windows.
#include <gtest/gtest.h>

#include <wx/dialog.h>
#include <wx/frame.h>

#include "BesideModalDialog.h"
#include "StartedToolkit.h"

namespace {

TEST(BesideModalDialogTest, TheWindowTakesInputWhileAnotherDialogIsModal) {
    ASSERT_TRUE(StartToolkit());
    auto* main = new wxDialog(nullptr, wxID_ANY, "main");
    auto* beside = new wxFrame(main, wxID_ANY, "beside");
    TakeInputBesideModalDialog(*beside);
    beside->Show();
    bool enabledWhileModal = false;
    bool enabledAfter = false;
    main->CallAfter([&] {
        // A dialog opened from the main one while it runs modal.
        wxDialog nested(main, wxID_ANY, "nested");
        nested.CallAfter([&] {
            enabledWhileModal = WaitUntil([&] { return beside->IsEnabled(); });
            nested.EndModal(wxID_OK);
        });
        nested.ShowModal();
        enabledAfter = beside->IsEnabled();
        main->EndModal(wxID_OK);
    });
    main->ShowModal();
    EXPECT_TRUE(enabledWhileModal);
    EXPECT_TRUE(enabledAfter);
    beside->Destroy();
    main->Destroy();
    wxYield();
}

} // namespace
