// The allowed and disallowed site lists: each kept in step in its file, its list box on the
// main window and its text in BlockerState. No file stays open between operations.
#pragma once

#include <string>
#include <string_view>

#include "blocker/BlockerState.h"
#include "platform/Controls.h"
#include "platform/TextFiles.h"

namespace quell {

enum class SiteList { Allowed, Disallowed };

inline constexpr std::string_view kAllowedFile = "allowed.txt";
inline constexpr std::string_view kDisallowedFile = "disallowed.txt";

// Each operation reports a failure to its caller, with a sentence for the status line in
// error().message; whatever was done before the failure stays done.
class Module1 {
  public:
    Module1(BlockerState& state, platform::ListBox& List1, platform::ListBox& List2,
            platform::TextFiles& files, std::string programFolder);

    platform::Status AddAllowed(std::string_view site) { return Add(SiteList::Allowed, site); }
    platform::Status RemoveAllowed(std::string_view site) {
        return Remove(SiteList::Allowed, site);
    }
    platform::Status LoadAllowed() { return Load(SiteList::Allowed); }
    platform::Status SaveAllowed() { return Save(SiteList::Allowed); }
    platform::Status AddDisallowed(std::string_view site) {
        return Add(SiteList::Disallowed, site);
    }
    platform::Status RemoveDisallowed(std::string_view site) {
        return Remove(SiteList::Disallowed, site);
    }
    platform::Status LoadDisallowed() { return Load(SiteList::Disallowed); }
    platform::Status SaveDisallowed() { return Save(SiteList::Disallowed); }

    // Appends the site to the file (created if absent), the list box and the list text.
    platform::Status Add(SiteList list, std::string_view site);
    // Rewrites the file without every line that contains the site in any case; the list
    // text becomes the kept lines. The list box is the caller's.
    platform::Status Remove(SiteList list, std::string_view site);
    // Appends every entry of the file to the list box; the list text becomes the entries.
    platform::Status Load(SiteList list);
    // Rewrites the file from the list box's items.
    platform::Status Save(SiteList list);

    // Start-up: a missing list file is created holding one line.
    platform::Status CreateListFile(SiteList list, std::string_view firstLine);
    // The list text made again from the list box's items.
    void SetTextFromListBox(SiteList list);

    std::string FilePath(SiteList list) const;
    platform::ListBox& Box(SiteList list) { return list == SiteList::Allowed ? List1_ : List2_; }

  private:
    ListText& Text(SiteList list) {
        return list == SiteList::Allowed ? state_.strAllowed : state_.strDisallowed;
    }
    std::string BoxText(SiteList list);

    BlockerState& state_;
    platform::ListBox& List1_;
    platform::ListBox& List2_;
    platform::TextFiles& files_;
    std::string programFolder_;
};

std::string_view FileName(SiteList list);

}  // namespace quell
