// The browser's Tools-menu entry: a toolbar button and a Tools-menu item that start this
// program. Machine-wide where the user may write there, else for the user's account only (the
// browser reads both).
#pragma once

#include <string>
#include <vector>

#include "mainwindow/AddRemove.h"
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

// Writes the eight values; a half-written key is removed before the per-user fallback.
PlacementResult AddToolsEntry(platform::Registry& registry, const ProgramLocation& program);
// Deletes the entry key from both places; absent is no error.
platform::Status RemoveToolsEntry(platform::Registry& registry);

// Status-line sentences.
std::string ToolsEntryAddedText(const PlacementResult& result);
std::string ToolsEntryRemovedText(const platform::Status& result);

}  // namespace quell::modIETools
