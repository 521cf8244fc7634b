#include "store/Module1.h"

#include "blocker/TextCompare.h"
#include "platform/Path.h"
#include "store/ListFileFormat.h"

namespace quell {
namespace {

// A line holds the site when the site occurs in it in any case; an empty line holds nothing.
bool LineHolds(std::string_view line, std::string_view site) {
    return !line.empty() && ContainsIgnoreCase(line, site);
}

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

std::string Module1::BoxText(SiteList list) {
    platform::ListBox& box = Box(list);
    std::vector<std::string> items;
    const int count = box.ListCount();
    for (int i = 0; i < count; ++i) {
        items.push_back(box.List(i));
    }
    return JoinEntries(items);
}

platform::Status Module1::Add(SiteList list, std::string_view site) {
    std::string line(site);
    line += "\r\n";
    platform::Status written = files_.AppendText(FilePath(list), line);
    if (!written) {
        return Explain(written, FileName(list), "add to", site);
    }
    Box(list).AddItem(std::string(site));
    Text(list).AppendEntry(site);
    return platform::Status::Ok();
}

platform::Status Module1::Remove(SiteList list, std::string_view site) {
    const std::string path = FilePath(list);
    platform::Result<std::string> content = files_.ReadText(path);
    if (!content) {
        return Explain(content.status(), FileName(list), "read");
    }
    std::string kept;
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
    platform::Result<std::string> content = files_.ReadText(FilePath(list));
    if (!content) {
        return Explain(content.status(), FileName(list), "read");
    }
    const std::vector<std::string> entries = ParseListFile(content.value());
    platform::ListBox& box = Box(list);
    for (const std::string& entry : entries) {
        box.AddItem(entry);
    }
    Text(list).Assign(JoinEntries(entries));
    return platform::Status::Ok();
}

platform::Status Module1::Save(SiteList list) {
    return Explain(files_.ReplaceText(FilePath(list), RewriteContent(BoxText(list))),
                   FileName(list), "save");
}

platform::Status Module1::CreateListFile(SiteList list, std::string_view firstLine) {
    std::string line(firstLine);
    line += "\r\n";
    return Explain(files_.AppendText(FilePath(list), line), FileName(list), "create", firstLine);
}

void Module1::SetTextFromListBox(SiteList list) {
    Text(list).Assign(BoxText(list));
}

}  // namespace quell
