// The browser's Tools-menu entry: a toolbar button and a Tools-menu item that start this
// program. Machine-wide where the user may write there, else for the user's account only (the
// browser reads both); in both registry views of 64-bit Windows, since its 32-bit browser frame
// reads the 32-bit one.
#pragma once

#include <string>
#include <vector>

#include "mainwindow/RegistryPlacement.h"
#include "platform/Registry.h"

namespace quell::modIETools {

// The program's own fixed identifier for its button, the same on every installation.
inline constexpr const char* kEntryKey =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{ECC5777A-6E88-BFCE-13CE-81F134789E7B}";
// The browser's class for buttons that run an executable.
inline constexpr const char* kExecButtonClsid = "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}";

// Given by the caller, so this module never asks the system where it runs.
struct ProgramLocation {
    std::string productName;
    std::string programFolder;  // no trailing separator
    std::string programPath;    // the folder, "\", the executable's base name, ".exe"
};

struct EntryValue {
    std::string name;
    std::string data;
};

// The eight values in the order they are written.
std::vector<EntryValue> EntryValues(const ProgramLocation& program);

// The registry as seen in each of the two views the entry is kept in.
struct EntryViews {
    platform::Registry& bits64;
    platform::Registry& bits32;
};

// Writes the eight values in both views; what a failure in either leaves is removed from both
// before the per-user fallback.
PlacementResult AddToolsEntry(const EntryViews& views, const ProgramLocation& program);
// Deletes the entry key from both places in both views; absent is no error.
platform::Status RemoveToolsEntry(const EntryViews& views);

// Status-line sentences.
std::string ToolsEntryAddedText(const PlacementResult& result);
std::string ToolsEntryRemovedText(const platform::Status& result);

}  // namespace quell::modIETools
