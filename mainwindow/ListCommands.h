// The main window's add and delete buttons of the two site lists.
#pragma once

#include "platform/Controls.h"
#include "store/Module1.h"

namespace quell {

// Command1 (allowed, Text1) and Command4 (disallowed, Text2): adds the typed site, then
// rewrites the file from the list box. An exactly empty or one-space text does nothing.
void AddSiteCommand(Module1& lists, SiteList list, const platform::TextBox& input,
                    platform::StatusBar& status);
// The same for a site from elsewhere (a row of the blocked popups).
void AddSite(Module1& lists, SiteList list, const std::string& site, platform::StatusBar& status);

// Command2 (allowed, List1) and Command3 (disallowed, List2): deletes the first selected item
// from the file and the list box; the list text then holds exactly the items left.
void DeleteSiteCommand(Module1& lists, SiteList list, platform::StatusBar& status);

}  // namespace quell
