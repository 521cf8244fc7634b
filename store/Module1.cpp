#include "store/Module1.h"

#include "blocker/TextCompare.h"
#include "platform/Path.h"
#include "store/ListFileFormat.h"

namespace quell {
namespace {

// A line holds the site when the site occurs in it in any case; an empty line holds nothing,
// and an empty site (an item that shows as blank) is held by no line, or deleting it would
// empty the file.
bool LineHolds(std::string_view line, std::string_view site) {
    return !line.empty() && !site.empty() && ContainsIgnoreCase(line, site);
}

platform::Status Refusal(std::string message) {
    platform::Error error;
    error.message = std::move(message);
    return error;
}

constexpr std::string_view kNoRoom = "the list box has no room for more entries";

platform::Status Explain(platform::Status status, std::string_view file, std::string_view doing,
                         std::string_view site = {}) {
    if (status.ok()) {
        return status;
    }
    platform::Error error = status.error();
    std::string& message = error.message;
    if (error.kind == platform::ErrorKind::Unrepresentable) {
        message += '"';
        message += site;
        message += "\" was not added: ";
        message += file;
        message += " can only hold characters of the system code page ";
        message += std::to_string(error.code);
        message += ", and \"";
        message += error.reason;
        message += "\" is not one of them.";
    } else {
        message += "Could not ";
        message += doing;
        message += ' ';
        message += file;
        message += ": ";
        message += error.reason;
    }
    return error;
}

}  // namespace

std::string_view FileName(SiteList list) {
    return list == SiteList::Allowed ? kAllowedFile : kDisallowedFile;
}

Module1::Module1(BlockerState& state, platform::ListBox& List1, platform::ListBox& List2,
                 platform::TextFiles& files, std::string programFolder)
    : state_(state),
      List1_(List1),
      List2_(List2),
      files_(files),
      programFolder_(std::move(programFolder)) {}

std::string Module1::FilePath(SiteList list) const {
    return platform::InFolder(programFolder_, FileName(list));
}

platform::Status Module1::RewriteRefused(SiteList list) const {
    const Loading& loading = loading_[Index(list)];
    std::string message(FileName(list));
    message += " was not rewritten: ";
    if (loading.box == BoxState::NotLoaded) {
        message +=
            "it could not be read (" + loading.why + "), so the list shown lacks its entries.";
    } else {
        message += "the list shown lacks some of its entries (" + loading.why + ").";
    }
    message += " The file keeps every line.";
    return Refusal(std::move(message));
}

platform::Status Module1::EnsureLoaded(SiteList list) {
    switch (loading_[Index(list)].box) {
        case BoxState::Loaded:
            return platform::Status::Ok();
        case BoxState::NotLoaded:
            if (Load(list)) {
                return platform::Status::Ok();
            }
            break;
        case BoxState::Incomplete:
            break;
    }
    return RewriteRefused(list);
}

platform::Status Module1::Add(SiteList list, std::string_view site) {
    if (NeedsLoad(list)) {
        // Appending is safe either way; loading first shows the file's entries with it.
        (void)Load(list);
    }
    std::string line(site);
    line += "\r\n";
    platform::Status written = files_.AppendText(FilePath(list), line);
    if (!written) {
        return Explain(written, FileName(list), "add to", site);
    }
    // The file has the entry, so the decision honours it even when the box cannot show it.
    Text(list).AppendEntry(site);
    if (!Box(list).AddItem(std::string(site))) {
        Loading& loading = loading_[Index(list)];
        if (loading.box == BoxState::Loaded) {  // an unread list is filled again when read
            loading = {BoxState::Incomplete, std::string(kNoRoom)};
        }
        return Refusal('"' + std::string(site) + "\" was added to " + std::string(FileName(list)) +
                       ", but " + std::string(kNoRoom) + ".");
    }
    return platform::Status::Ok();
}

platform::Status Module1::Remove(SiteList list, std::string_view site) {
    // The rewrite drops every line holding the site; only a box with all the others can put
    // them back. Not loaded here: the caller's item would no longer be the one it chose.
    if (loading_[Index(list)].box != BoxState::Loaded) {
        return RewriteRefused(list);
    }
    const std::string path = FilePath(list);
    platform::Result<std::string> content = files_.ReadText(path);
    if (!content) {
        return Explain(content.status(), FileName(list), "read");
    }
    std::string kept;
    kept.reserve(content.value().size());
    for (std::string_view line : SplitLines(content.value())) {
        if (!LineHolds(line, site)) {
            kept += line;
            kept += "\r\n";
        }
    }
    platform::Status written = files_.ReplaceText(path, RewriteContent(kept));
    if (!written) {
        return Explain(written, FileName(list), "save");
    }
    Text(list).Assign(std::move(kept));
    return platform::Status::Ok();
}

platform::Status Module1::Load(SiteList list) {
    Loading& loading = loading_[Index(list)];
    platform::Result<std::string> content = files_.ReadText(FilePath(list));
    if (!content) {
        // The box keeps what was added since; those entries are in the file too.
        loading = {BoxState::NotLoaded, content.error().reason};
        return Explain(content.status(), FileName(list), "read");
    }
    std::vector<std::string_view> entries = SplitLines(content.value());
    std::erase_if(entries, IsSkippedLine);
    Text(list).Assign(JoinEntries(entries));
    platform::ListBox& box = Box(list);
    box.Clear();
    if (!box.AddItems(entries)) {
        loading = {BoxState::Incomplete, std::string(kNoRoom)};
        return Refusal("The list shows " + std::to_string(box.ListCount()) + " of the " +
                       std::to_string(entries.size()) + " entries of " +
                       std::string(FileName(list)) + ": " + std::string(kNoRoom) +
                       ". The file keeps them all and is not rewritten from the list.");
    }
    loading.box = BoxState::Loaded;
    return platform::Status::Ok();
}

platform::Status Module1::Save(SiteList list) {
    if (platform::Status ready = EnsureLoaded(list); !ready) {
        return ready;
    }
    return Explain(files_.ReplaceText(FilePath(list), RewriteContent(Box(list).ItemsText())),
                   FileName(list), "save");
}

platform::Status Module1::Recover(SiteList list) {
    return Explain(files_.Recover(FilePath(list)), FileName(list), "finish the last save of");
}

platform::Status Module1::CreateListFile(SiteList list, std::string_view firstLine) {
    // A hidden or system file escapes the directory search that found the list missing, but
    // it is the user's list all the same: appending would add the line again at every start.
    if (files_.Exists(FilePath(list))) {
        return platform::Status::Ok();
    }
    std::string line(firstLine);
    line += "\r\n";
    return Explain(files_.AppendText(FilePath(list), line), FileName(list), "create", firstLine);
}

void Module1::SetTextFromListBox(SiteList list) {
    if (loading_[Index(list)].box == BoxState::Loaded) {
        Text(list).Assign(Box(list).ItemsText());
    }
}

}  // namespace quell
