// Recording fakes of what the main window and its start-up reach outside themselves.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/Form1Services.h"
#include "platform/HotKey.h"
#include "store/Startup.h"

namespace quell::testing {

class RecordingServices : public Form1Services, public StartupServices {
  public:
    StatusReport EnableRunAtStartup() override {
        calls.push_back("EnableRunAtStartup");
        return runResult;
    }
    StatusReport DisableRunAtStartup() override {
        calls.push_back("DisableRunAtStartup");
        return {true, "Run On Startup Disabled"};
    }
    StatusReport AddToolsEntry() override {
        calls.push_back("AddToolsEntry");
        return {true, "tools added"};
    }
    StatusReport RemoveToolsEntry() override {
        calls.push_back("RemoveToolsEntry");
        return {true, "tools removed"};
    }
    std::optional<platform::WindowHandle> ShowHelp() override {
        calls.push_back("ShowHelp");
        return helpHandle;
    }
    std::optional<platform::WindowHandle> ShowAbout() override {
        calls.push_back("ShowAbout");
        return 900;
    }
    std::optional<platform::WindowHandle> ShowBlockedPopups() override {
        calls.push_back("ShowBlockedPopups");
        return std::nullopt;
    }
    void OpenWebsite() override { calls.push_back("OpenWebsite"); }
    void ShowTrayMenu() override { calls.push_back("ShowTrayMenu"); }
    void Exit() override { calls.push_back("Exit"); }
    std::optional<std::string> ChooseFile(FileChoice) override {
        calls.push_back("ChooseFile");
        return chosenFile;
    }
    std::optional<SiteList> ChooseImportList() override {
        calls.push_back("ChooseImportList");
        return importList;
    }
    platform::Result<std::string> ReadFileBytes(const std::string& path) override {
        return files.count(path) ? platform::Result<std::string>(files[path])
                                 : platform::Result<std::string>(
                                       platform::Error{.call = "CreateFileW", .path = path});
    }
    platform::Status WriteFileBytes(const std::string& path, std::string_view bytes) override {
        files[path] = std::string(bytes);
        return platform::Status::Ok();
    }
    std::optional<std::string> chosenFile;
    std::optional<SiteList> importList;
    std::map<std::string, std::string> files;

    void StopGlobalSkin() override { calls.push_back("StopGlobalSkin"); }
    void SetWindowIcons() override { calls.push_back("SetWindowIcons"); }
    void AddTrayIcon() override { calls.push_back("AddTrayIcon"); }
    void RemoveTrayIcon() override { calls.push_back("RemoveTrayIcon"); }
    void CreateTracker() override { calls.push_back("CreateTracker"); }
    void ReleaseTracker() override { calls.push_back("ReleaseTracker"); }
    bool ListFileExists(SiteList list) override {
        return list == SiteList::Allowed ? allowedExists : disallowedExists;
    }
    void EndProgram() override { calls.push_back("EndProgram"); }

    int Count(const std::string& call) const {
        int n = 0;
        for (const auto& c : calls) {
            n += c == call ? 1 : 0;
        }
        return n;
    }

    std::vector<std::string> calls;
    StatusReport runResult{true, "Run On Startup Enabled"};
    std::optional<platform::WindowHandle> helpHandle = 800;
    bool allowedExists = false;
    bool disallowedExists = false;
};

class FakeHotKey : public platform::HotKeyHook {
  public:
    bool Install(platform::WindowHandle main, platform::WindowHandle target) override {
        installs.push_back({main, target});
        return registers;
    }
    void Remove() override { ++removes; }
    std::vector<std::pair<platform::WindowHandle, platform::WindowHandle>> installs;
    int removes = 0;
    bool registers = true;
};

}  // namespace quell::testing
