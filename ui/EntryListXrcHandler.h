#pragma once

#include <wx/xrc/xmlres.h>

// Makes the dialog template's "EntryListView" objects, so that the list is
// placed, sized and ordered among the controls by the template like the rest.
class EntryListXrcHandler : public wxXmlResourceHandler {
public:
    EntryListXrcHandler();

    wxObject* DoCreateResource() override;
    bool CanHandle(wxXmlNode* node) override;
};
