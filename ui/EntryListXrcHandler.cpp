#include "EntryListXrcHandler.h"

#include <wx/listbox.h>

#include "EntryListView.h"

EntryListXrcHandler::EntryListXrcHandler() {
    // The list box styles the template has always given the list.
    XRC_ADD_STYLE(wxLB_SINGLE);
    XRC_ADD_STYLE(wxLB_NEEDED_SB);
    AddWindowStyles();
}

wxObject* EntryListXrcHandler::DoCreateResource() {
    auto* list = new EntryListView;
    list->Create(m_parentAsWindow, GetID(), GetPosition(), GetSize(), GetStyle());
    SetupWindow(list);
    return list;
}

bool EntryListXrcHandler::CanHandle(wxXmlNode* node) {
    return IsOfClass(node, "EntryListView");
}
