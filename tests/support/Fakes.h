// Small fakes of the platform interfaces for native tests.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "blocker/PromptWindow.h"
#include "platform/Browser.h"
#include "platform/Controls.h"
#include "platform/EventPump.h"
#include "platform/Sound.h"

namespace quell::testing {

class FakeCheckBox : public platform::CheckBox {
  public:
    explicit FakeCheckBox(int value = 0) : value_(value) {}
    int Value() const override { return value_; }
    void SetValue(int value) override {
        if (value == value_) {
            return;
        }
        value_ = value;
        if (onClick) {
            onClick();
        }
    }
    std::function<void()> onClick;

  private:
    int value_;
};

class FakeListBox : public platform::ListBox {
  public:
    bool AddItem(const std::string& item) override {
        if (items.size() >= room) {
            return false;
        }
        items.push_back(item);
        return true;
    }
    void RemoveItem(int index) override {
        items.erase(items.begin() + index);
        if (selected == index) {
            selected = -1;
        } else if (selected > index) {
            --selected;
        }
    }
    int ListCount() const override { return static_cast<int>(items.size()); }
    std::string List(int index) const override { return items.at(static_cast<size_t>(index)); }
    bool Selected(int index) const override { return index == selected; }

    std::vector<std::string> items;
    int selected = -1;
    std::size_t room = SIZE_MAX;  // items the box holds before it refuses more, as out of memory
};

class FakeTextBox : public platform::TextBox {
  public:
    explicit FakeTextBox(std::string text = {}) : text_(std::move(text)) {}
    std::string Text() const override { return text_; }
    void SetText(const std::string& text) override { text_ = text; }

  private:
    std::string text_;
};

// A status bar whose panels exist only once added, as in the real one: text for a missing
// panel is dropped.
class FakePanelStatusBar : public platform::StatusBar {
  public:
    void SetPanelText(int panel, const std::string& text) override {
        if (panel >= 1 && panel <= PanelCount()) {
            texts[static_cast<size_t>(panel - 1)] = text;
            history.push_back(text);
        }
    }
    void AddPanel() override {
        texts.emplace_back();
        widths.push_back(0);
    }
    int PanelCount() const override { return static_cast<int>(texts.size()); }
    void SetPanelWidth(int panel, int twips) override {
        widths.at(static_cast<size_t>(panel - 1)) = twips;
    }
    std::string Panel(int panel) const {
        return panel <= PanelCount() ? texts[static_cast<size_t>(panel - 1)] : "";
    }
    std::vector<std::string> texts;
    std::vector<int> widths;
    std::vector<std::string> history;
};

// Runs scripted events, one per DoEvents, as the user-interface thread would handle them.
// Waiting with nothing scripted is a hang in the real program, so it fails the test.
class ScriptedEventPump : public platform::EventPump {
  public:
    void Post(std::function<void()> event) { events.push_back(std::move(event)); }
    void DoEvents() override {
        ++doEventsCalls;
        if (events.empty()) {
            return;
        }
        auto event = std::move(events.front());
        events.pop_front();
        event();
    }
    void WaitForEvents() override {
        ++waits;
        if (events.empty()) {
            throw std::logic_error("waiting for events that will never come");
        }
    }
    bool QuitRequested() const override { return quit; }
    std::deque<std::function<void()>> events;
    int doEventsCalls = 0;
    int waits = 0;
    bool quit = false;
};

class FakeSound : public platform::Sound {
  public:
    bool PlayWaveFile(const std::string& path) override {
        played.push_back(path);
        return playable;
    }
    std::vector<std::string> played;
    bool playable = true;
};

class FakeBrowser : public platform::WebBrowser {
  public:
    explicit FakeBrowser(std::optional<std::string> url) : url_(std::move(url)) {}
    std::optional<std::string> LocationURL() override { return url_; }

  private:
    std::optional<std::string> url_;
};

class RecordingCancelFlag : public platform::CancelFlag {
  public:
    void Set(bool cancel) override {
        ++writes;
        value = cancel;
        if (onSet) {
            onSet();
        }
    }
    std::optional<bool> value;  // nothing: left as the browser passed it
    int writes = 0;
    std::function<void()> onSet;
};

class FakePromptWindow : public PromptWindow {
  public:
    void Load() override {
        ++loadCalls;
        if (!loaded) {
            loaded = true;
            if (onLoad) {
                onLoad();
            }
        }
    }
    void Show() override { ++showCalls; }
    void SetVisible(bool isVisible) override { visible = isVisible; }
    void Unload() {
        loaded = false;
        visible = false;
    }
    bool loaded = false;
    bool visible = false;
    int loadCalls = 0;
    int showCalls = 0;
    std::function<void()> onLoad;
};

}  // namespace quell::testing
