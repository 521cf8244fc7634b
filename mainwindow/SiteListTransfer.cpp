#include "mainwindow/SiteListTransfer.h"

#include <unordered_set>

#include "blocker/TextCompare.h"
#include "platform/Cp1252.h"

namespace quell {
namespace {

constexpr std::string_view kAllowedSection = "[allowed]";
constexpr std::string_view kDisallowedSection = "[disallowed]";

bool IsValidUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80           ? 1
                                   : (c >> 5) == 0x6  ? 2
                                   : (c >> 4) == 0xE  ? 3
                                   : (c >> 3) == 0x1E ? 4
                                                      : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

bool IsEntry(const std::string& line) {
    return !line.empty() && line != " ";
}

void AppendSection(std::string& out, std::string_view header, platform::ListBox& box) {
    out += header;
    out += "\r\n";
    for (int i = 0; i < box.ListCount(); ++i) {
        out += box.List(i);
        out += "\r\n";
    }
}

}  // namespace

platform::Result<std::string> ExportSiteLists(Module1& lists) {
    std::string out(kUtf8Bom);
    for (const SiteList list : {SiteList::Allowed, SiteList::Disallowed}) {
        if (platform::Status loaded = lists.EnsureLoaded(list); !loaded) {
            return loaded.error();
        }
        AppendSection(out, list == SiteList::Allowed ? kAllowedSection : kDisallowedSection,
                      lists.Box(list));
    }
    return out;
}

ImportedLists ParseSiteLists(std::string_view bytes) {
    std::string text;
    if (bytes.starts_with(kUtf8Bom)) {
        text = bytes.substr(kUtf8Bom.size());
    } else if (IsValidUtf8(bytes)) {
        text = bytes;
    } else {
        text = platform::cp1252::Decode(bytes);
    }
    ImportedLists result;
    std::vector<std::string>* section = &result.plain;
    bool first = true;
    for (std::string& line : Lines(text)) {
        if (!IsEntry(line)) {
            continue;
        }
        const std::string folded = FoldCase(line);
        const bool header = folded == kAllowedSection || folded == kDisallowedSection;
        if (first) {
            result.sectioned = header;
            first = false;
        }
        if (result.sectioned && header) {
            section = folded == kAllowedSection ? &result.allowed : &result.disallowed;
            continue;
        }
        section->push_back(std::move(line));
    }
    return result;
}

void ImportEntries(Module1& lists, SiteList list, const std::vector<std::string>& entries,
                   ImportCounts& counts) {
    if (entries.empty() || counts.failure) {
        return;
    }
    if (platform::Status loaded = lists.EnsureLoaded(list); !loaded) {
        counts.failure = loaded.error().message;
        return;
    }
    platform::ListBox& box = lists.Box(list);
    std::unordered_set<std::string> present;
    for (int i = 0; i < box.ListCount(); ++i) {
        present.insert(FoldCase(box.List(i)));
    }
    bool changed = false;
    for (const std::string& entry : entries) {
        if (!present.insert(FoldCase(entry)).second) {
            ++counts.skipped;
            continue;
        }
        const platform::Status added = lists.Add(list, entry);
        if (!added && added.error().kind == platform::ErrorKind::Unrepresentable) {
            ++counts.refused;
            continue;
        }
        if (!added) {
            counts.failure = added.error().message;
            break;
        }
        ++counts.added;
        changed = true;
    }
    if (changed) {
        if (const platform::Status saved = lists.Save(list); !saved && !counts.failure) {
            counts.failure = saved.error().message;
        }
    }
}

std::string ImportStatusText(const ImportCounts& counts) {
    std::string text = "Imported: " + std::to_string(counts.added) + " added, " +
                       std::to_string(counts.skipped) + " already listed";
    if (counts.refused > 0) {
        text += ", " + std::to_string(counts.refused) +
                " refused (characters this system's code page cannot hold)";
    }
    if (counts.failure) {
        text += ". Stopped: " + *counts.failure;
    }
    return text;
}

}  // namespace quell
