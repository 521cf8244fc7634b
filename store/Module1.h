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

    // A list is only ever rewritten from a list box that holds every entry of its file: one
    // whose file could not be read, or that had no room for an entry, would lose the rest.

    // Appends the site to the file (created if absent), the list text and the list box; a
    // list whose file could not be read is read again first.
    platform::Status Add(SiteList list, std::string_view site);
    // Rewrites the file without every line that contains the site in any case; the list
    // text becomes the kept lines. The list box is the caller's. Refused unless loaded.
    platform::Status Remove(SiteList list, std::string_view site);
    // The list box shows exactly the file's entries; the list text becomes the entries.
    platform::Status Load(SiteList list);
    // Rewrites the file from the list box's items; a list whose file could not be read is
    // read again first, and the rewrite is refused if it still cannot be.
    platform::Status Save(SiteList list);

    // Loads a list whose file could not be read; Ok when the box holds the whole file.
    platform::Status EnsureLoaded(SiteList list);
    // The file could not be read at the last try.
    bool NeedsLoad(SiteList list) const { return loading_[Index(list)].box == BoxState::NotLoaded; }

    // Start-up: what an unfinished rewrite left behind is cleared up.
    platform::Status Recover(SiteList list);
    // Start-up: a missing list file is created holding one line.
    platform::Status CreateListFile(SiteList list, std::string_view firstLine);
    // The list text made again from the list box's items, when it holds them all.
    void SetTextFromListBox(SiteList list);

    std::string FilePath(SiteList list) const;
    platform::ListBox& Box(SiteList list) { return list == SiteList::Allowed ? List1_ : List2_; }

  private:
    enum class BoxState { NotLoaded, Loaded, Incomplete };
    struct Loading {
        BoxState box = BoxState::NotLoaded;
        std::string why;  // the reason the box lacks entries
    };
    static std::size_t Index(SiteList list) { return list == SiteList::Allowed ? 0 : 1; }
    platform::Status RewriteRefused(SiteList list) const;

    ListText& Text(SiteList list) {
        return list == SiteList::Allowed ? state_.strAllowed : state_.strDisallowed;
    }

    BlockerState& state_;
    platform::ListBox& List1_;
    platform::ListBox& List2_;
    platform::TextFiles& files_;
    std::string programFolder_;
    Loading loading_[2];
};

std::string_view FileName(SiteList list);

}  // namespace quell
