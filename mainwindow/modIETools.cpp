#include "mainwindow/modIETools.h"

#include "mainwindow/CRegister.h"

namespace quell::modIETools {

using platform::RootKey;
using platform::Status;

namespace {

Status DeleteEntry(platform::Registry& registry, RootKey root) {
    return CRegister::DeleteRegEntry(registry, root, kEntryKey, "");
}

// Both views tried; the first failure is reported.
Status DeleteEntryInBothViews(const EntryViews& views, RootKey root) {
    const Status bits64 = DeleteEntry(views.bits64, root);
    const Status bits32 = DeleteEntry(views.bits32, root);
    return bits64.ok() ? bits32 : bits64;
}

Status WriteEntry(platform::Registry& registry, RootKey root,
                  const std::vector<EntryValue>& values) {
    for (const EntryValue& value : values) {
        if (Holds(registry, root, kEntryKey, value.name, value.data)) {
            continue;
        }
        if (Status written =
                CRegister::SetRegString(registry, root, kEntryKey, value.name, value.data);
            !written) {
            return written;
        }
    }
    return Status::Ok();
}

}  // namespace

std::vector<EntryValue> EntryValues(const ProgramLocation& program) {
    // Windows paths whatever the host: the browser reads them.
    const std::string folder = program.programFolder + "\\";
    return {
        {"ButtonText", program.productName},
        {"CLSID", kExecButtonClsid},
        {"Default Visible", "Yes"},
        // Unquoted, unlike the Run value. The browser documents "Exec" as the path of the file
        // to run (a page's address also works there), and hands it to the shell as the file to
        // open, not as a command line to be split at its blanks: a path under "C:\Program Files"
        // cannot start a C:\Program.exe, while quotes would become part of the file's name for
        // a launcher that takes the value as it is.
        {"Exec", program.programPath},
        {"HotIcon", folder + "hoticon.ico"},
        {"Icon", folder + "icon.ico"},
        {"MenuStatusBar", program.productName},
        {"MenuText", "&" + program.productName},
    };
}

PlacementResult AddToolsEntry(const EntryViews& views, const ProgramLocation& program) {
    const std::vector<EntryValue> values = EntryValues(program);
    const auto write = [&](RootKey root) {
        for (platform::Registry* view : {&views.bits64, &views.bits32}) {
            if (Status written = WriteEntry(*view, root, values); !written) {
                // A button with half its definition would be broken in the browser, and one in a
                // single view would be missing from the other browser frame.
                (void)DeleteEntryInBothViews(views, root);
                return written;
            }
        }
        return Status::Ok();
    };
    return PlaceForAllOrCurrentUser(
        write, [&](RootKey root) { return DeleteEntryInBothViews(views, root); });
}

Status RemoveToolsEntry(const EntryViews& views) {
    return RemoveForAllAndCurrentUser(
        [&](RootKey root) { return DeleteEntryInBothViews(views, root); });
}

std::string ToolsEntryAddedText(const PlacementResult& result) {
    static constexpr PlacementWords kWords = {
        "Added to the browser's Tools menu.",
        "Added to the Tools menu for you only",
        "Could not add to the browser's Tools menu",
    };
    return DescribePlacement(result, kWords);
}

std::string ToolsEntryRemovedText(const Status& result) {
    return DescribeStatus(result, "Removed from the browser's Tools menu.",
                          "Could not remove from the browser's Tools menu");
}

}  // namespace quell::modIETools
