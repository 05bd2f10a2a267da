// The floor of the program's start: a wx dialog from the same template with
// the same controls and no diary read, shown modally as the program shows its
// dialog. `bare_dialog N` puts N rows of one blank entry in its list: what
// GTK's tree view alone costs for a list that long.
#include <cstdlib>
#include <vector>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/xrc/xmlres.h>

#include "EntryListView.h"
#include "EntryListXrcHandler.h"

void InitStepLogDialogResource();

class BareDialogApp : public wxApp {
public:
    bool OnInit() override {
        wxXmlResource::Get()->InitAllHandlers();
        wxXmlResource::Get()->AddHandler(new EntryListXrcHandler);
        InitStepLogDialogResource();
        if (argc > 1)
            rows_.resize(std::strtoul(argv[1].utf8_str(), nullptr, 10));
        return true;
    }
    int OnRun() override {
        wxDialog dialog;
        wxXmlResource::Get()->LoadDialog(&dialog, nullptr, "StepLogDialog");
        dialog.SetClientSize(dialog.ConvertDialogToPixels(wxSize(320, 214)));
        if (!rows_.empty())
            if (auto* list = dynamic_cast<EntryListView*>(
                    dialog.FindWindow(wxXmlResource::GetXRCID("entry_list"))))
                list->ShowItems(&rows_);
        dialog.ShowModal();
        return 0;
    }

private:
    std::vector<ShownEntry> rows_;
};

wxIMPLEMENT_APP(BareDialogApp);
