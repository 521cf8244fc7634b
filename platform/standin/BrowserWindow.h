// One stand-in browser window: address box, link, popup request controls and the last answer.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/standin/Browser.h"

namespace standin {

class StandInApp;

class BrowserWindow final : public BrowserView {
  public:
    static bool RegisterClasses(HINSTANCE instance);
    // A new, visible window on `url`, not yet listed; nothing when Windows refuses one. Windows
    // are cascaded by `sequence`, the number of windows opened before.
    static std::unique_ptr<BrowserWindow> Create(StandInApp& app, const std::wstring& url,
                                                 int sequence);
    ~BrowserWindow();
    BrowserWindow(const BrowserWindow&) = delete;
    BrowserWindow& operator=(const BrowserWindow&) = delete;

    // Adds the window to the shell window list (raising WindowRegistered).
    void Register();

    HWND Handle() const override { return window_; }
    Browser& Object() { return *browser_; }
    void ShowLocation(const std::wstring& url) override;
    void RequestClose() override;
    void RequestPopup(const std::wstring& url) override;

  private:
    // Requests, registration and closing call other processes, which lets messages in: a close
    // that arrives meanwhile waits until the outermost of them has finished.
    class BusyScope {
      public:
        explicit BusyScope(BrowserWindow& owner);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

      private:
        BrowserWindow& owner_;
    };

    explicit BrowserWindow(StandInApp& app);
    static LRESULT CALLBACK Trampoline(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate(HWND window, const std::wstring& url);
    void OnCommand(int id, int code);
    void OnClose();
    void OnNcDestroy();
    void OnGo();
    // Raises `burst` requests one after another, for `address` or else the popup box's.
    void OnPopup(long flags, int burst, const std::wstring* address = nullptr);
    void OnLinkHover(bool over);
    void OnNewObject();
    void Unlist();
    std::wstring ControlText(int id) const;
    RaiseMode SelectedMode() const;

    StandInApp& app_;
    HWND window_ = nullptr;
    ComPtr<Browser> browser_;
    LONG cookie_ = 0;
    int busy_ = 0;
    bool closePending_ = false;
    bool closing_ = false;
};

}  // namespace standin
