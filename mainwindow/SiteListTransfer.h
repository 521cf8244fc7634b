// Moving both site lists between machines: one UTF-8 file with an [allowed] and a
// [disallowed] section, or a plain one-site-a-line file read into a list the user picks.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"
#include "store/Module1.h"

namespace quell {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The export file of both lists as the list boxes hold them; refused when a list whose file
// could not be read cannot be read now either (its entries would be left out).
platform::Result<std::string> ExportSiteLists(Module1& lists);

struct ImportedLists {
    bool sectioned = false;  // [allowed] / [disallowed]; otherwise every entry is in `plain`
    std::vector<std::string> allowed, disallowed, plain;
};

// Reads either form. Text after a BOM or in valid UTF-8 is taken as UTF-8, anything else as
// Windows-1252 (a list file copied from another machine). Lines end at CR LF, CR or LF; lines
// that are empty or one space are no entries.
ImportedLists ParseSiteLists(std::string_view bytes);

struct ImportCounts {
    int added = 0;
    int skipped = 0;                     // already on the list, compared without regard to case
    int refused = 0;                     // characters the ANSI code page cannot hold
    std::optional<std::string> failure;  // what stopped the import, for the status line
};

// Adds the entries not yet on the list through the main window's add path, then rewrites the
// list file from its box, as the Add button does.
void ImportEntries(Module1& lists, SiteList list, const std::vector<std::string>& entries,
                   ImportCounts& counts);

std::string ImportStatusText(const ImportCounts& counts);

}  // namespace quell
