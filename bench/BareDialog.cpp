// The floor of the program's start: a wx dialog from the same template with
// the same controls, an empty list and no diary read, shown modally as the
// program shows its dialog.
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/xrc/xmlres.h>

#include "EntryListXrcHandler.h"

void InitStepLogDialogResource();

class BareDialogApp : public wxApp {
public:
    bool OnInit() override {
        wxXmlResource::Get()->InitAllHandlers();
        wxXmlResource::Get()->AddHandler(new EntryListXrcHandler);
        InitStepLogDialogResource();
        return true;
    }
    int OnRun() override {
        wxDialog dialog;
        wxXmlResource::Get()->LoadDialog(&dialog, nullptr, "StepLogDialog");
        dialog.SetClientSize(dialog.ConvertDialogToPixels(wxSize(320, 214)));
        dialog.ShowModal();
        return 0;
    }
};

wxIMPLEMENT_APP(BareDialogApp);
