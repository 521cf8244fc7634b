// A form built from a real design table with fake controls: every control of the table
// exists under its name, and nothing else does.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Form.h"
#include "platform/WindowZOrder.h"
#include "support/Fakes.h"

namespace quell::testing {

class FakeRichText : public platform::RichTextBox {
  public:
    bool LoadFile(const std::string& path) override {
        loaded = path;
        return true;
    }
    std::string loaded;
};

// The fake control at a position of the table, of the kind asked for.
template <class T>
T& FindControl(std::map<int, std::unique_ptr<T>>& map, int index, std::string_view form) {
    auto found = map.find(index);
    if (found == map.end()) {
        throw std::out_of_range("no control #" + std::to_string(index) + " of that kind in " +
                                std::string(form));
    }
    return *found->second;
}

class FakeListView : public platform::ListView {
  public:
    bool InsertRow(int index, std::span<const std::string> cells) override {
        rows.insert(rows.begin() + index, std::vector<std::string>(cells.begin(), cells.end()));
        selected.insert(selected.begin() + index, false);
        return true;
    }
    void RemoveRow(int index) override {
        rows.erase(rows.begin() + index);
        selected.erase(selected.begin() + index);
    }
    void Clear() override {
        rows.clear();
        selected.clear();
    }
    int RowCount() const override { return static_cast<int>(rows.size()); }
    std::string Cell(int row, int column) const override { return rows[row][column]; }
    bool RowSelected(int row) const override { return selected[row]; }

    std::vector<std::vector<std::string>> rows;
    std::vector<bool> selected;
};

class FakeForm : public platform::Form {
  public:
    // `loaded`: as if loaded already, so its controls exist from the start.
    explicit FakeForm(const design::WindowDesign& design, platform::WindowHandle handle = 100,
                      bool loaded = false)
        : design_(design), handle_(handle) {
        if (loaded) {
            Load();
        }
    }

    bool Load() override {
        if (loaded_) {
            return true;
        }
        ++loads;
        loaded_ = true;
        caption = std::string(design_.caption);
        for (std::size_t i = 0; i < design_.controls.size(); ++i) {
            Create(static_cast<int>(i), design_.controls[i]);
        }
        return true;
    }
    void Unload() override {
        ++unloads;
        loaded_ = false;
        visible_ = false;
        shownOnce_ = false;
        state_ = platform::WindowState::Normal;
        checks_.clear();
        lists_.clear();
        texts_.clear();
        statuses_.clear();
        riches_.clear();
    }
    bool IsLoaded() const override { return loaded_; }
    // As the real window: the first display is one Resize; showing it again raises none.
    void Show() override {
        Load();
        visible_ = true;
        if (!shownOnce_) {
            shownOnce_ = true;
            Raise({platform::EventKind::Resize});
        }
    }
    void BringToFront() override {
        Show();
        ++broughtToFront;
    }
    void Hide() override { visible_ = false; }
    bool Visible() const override { return visible_; }
    platform::WindowHandle Handle() const override { return loaded_ ? handle_ : 0; }
    platform::WindowHandle ControlHandle(design::AnyControlRef control) const override {
        if (control.index < 0 ||
            static_cast<std::size_t>(control.index) >= design_.controls.size()) {
            throw std::out_of_range("no control #" + std::to_string(control.index));
        }
        return handle_ + 1 + static_cast<platform::WindowHandle>(control.index);
    }
    void SetCaption(const std::string& text) override { caption = text; }
    platform::WindowState State() const override { return state_; }
    // A window never shown takes its state when it is shown, with no Resize before that;
    // once shown, a new state shows the window (minimised too) and raises Resize.
    void SetState(platform::WindowState state) override {
        if (!loaded_) {
            return;
        }
        if (!shownOnce_) {
            state_ = state;
            return;
        }
        const bool changed = state != state_;
        state_ = state;
        visible_ = true;
        if (changed) {
            Raise({platform::EventKind::Resize});
        }
    }
    int ClientWidthTwips() const override { return design_.clientWidth; }
    void StartTimer(int id, int ms) override { timers[id] = ms; }
    void StopTimer(int id) override { timers.erase(id); }

    platform::CheckBox& Check(design::CheckRef box) override {
        return FindControl(checks_, box.index, design_.name);
    }
    platform::ListBox& List(design::ListRef list) override { return FakeList(list.index); }
    platform::TextBox& Text(design::CaptionRef control) override {
        return FindControl(texts_, control.index, design_.name);
    }
    platform::StatusBar& Status(design::StatusRef bar) override { return FakeStatus(bar.index); }
    platform::ListView& Rows(design::RowsRef view) override { return FakeRows(view.index); }
    platform::RichTextBox& Rich(design::RichRef view) override { return FakeRich(view.index); }

    void SetEventHandler(std::function<void(const platform::Event&)> handler) override {
        handler_ = std::move(handler);
    }

    // What a user does.
    void Click(std::string_view name, int index = -1) {
        for (const auto& pair : design_.boxLabels) {
            if (pair.label == name) {
                name = pair.box;  // a switch's label clicks its box
            }
        }
        if (const int menuItem = design::FindMenuItem(design_, name, index); menuItem >= 0) {
            Raise({platform::EventKind::Click, -1, menuItem, index});
        } else if (auto box = checks_.find(IndexOf(name)); box != checks_.end()) {
            box->second->SetValue(box->second->Value() == 1 ? 0 : 1);
        } else {
            Raise({platform::EventKind::Click, IndexOf(name), -1, index});
        }
    }
    // An event of the named control or menu item ("" for the window), as the window raises it.
    platform::Event EventOf(platform::EventKind kind, std::string_view name, int index = -1,
                            int x = 0, int y = 0) const {
        platform::Event event{kind, -1, -1, index, x, y};
        if (name.empty()) {
            return event;
        }
        event.menuItem = design::FindMenuItem(design_, name, index);
        // An index the array lacks still reaches the array's handler, to show it is ignored.
        for (std::size_t i = 0; event.menuItem < 0 && i < design_.menuItems.size(); ++i) {
            if (design_.menuItems[i].name == name && design_.menuItems[i].index >= 0) {
                event.menuItem = static_cast<int>(i);
            }
        }
        if (event.menuItem < 0) {
            event.control = IndexOf(name);
        }
        return event;
    }
    void Raise(platform::EventKind kind, std::string_view name, int index = -1, int x = 0,
               int y = 0) {
        Raise(EventOf(kind, name, index, x, y));
    }
    void Raise(const platform::Event& event) {
        if (handler_) {
            handler_(event);
        }
    }

    FakeListBox& FakeList(std::string_view name) { return FakeList(IndexOf(name)); }
    FakePanelStatusBar& FakeStatus(std::string_view name) { return FakeStatus(IndexOf(name)); }
    FakeRichText& FakeRich(std::string_view name) { return FakeRich(IndexOf(name)); }
    FakeListView& FakeRows(std::string_view name) { return FakeRows(IndexOf(name)); }

    // The position of the named control; std::out_of_range for a name not in the table.
    int IndexOf(std::string_view name) const {
        for (std::size_t i = 0; i < design_.controls.size(); ++i) {
            if (design_.controls[i].name == name) {
                return static_cast<int>(i);
            }
        }
        throw std::out_of_range("no control " + std::string(name) + " in " +
                                std::string(design_.name));
    }

    std::string caption;
    std::map<int, int> timers;
    int loads = 0;
    int unloads = 0;
    int broughtToFront = 0;

  private:
    FakeListBox& FakeList(int index) { return FindControl(lists_, index, design_.name); }
    FakePanelStatusBar& FakeStatus(int index) {
        return FindControl(statuses_, index, design_.name);
    }
    FakeRichText& FakeRich(int index) { return FindControl(riches_, index, design_.name); }
    FakeListView& FakeRows(int index) { return FindControl(rows_, index, design_.name); }

    void Create(int index, const design::ControlDesign& control) {
        using design::ControlKind;
        switch (control.kind) {
            case ControlKind::CheckBox: {
                auto box = std::make_unique<FakeCheckBox>(0);
                box->onClick = [this, index] { Raise({platform::EventKind::Click, index}); };
                checks_[index] = std::move(box);
                break;
            }
            case ControlKind::ListBox:
                lists_[index] = std::make_unique<FakeListBox>();
                break;
            case ControlKind::StatusBar:
                statuses_[index] = std::make_unique<FakePanelStatusBar>();
                break;
            case ControlKind::RichText:
                riches_[index] = std::make_unique<FakeRichText>();
                break;
            case ControlKind::ListView:
                rows_[index] = std::make_unique<FakeListView>();
                break;
            default:
                texts_[index] = std::make_unique<FakeTextBox>(std::string(control.text));
                break;
        }
    }

    const design::WindowDesign& design_;
    platform::WindowHandle handle_;
    bool loaded_ = false;
    bool visible_ = false;
    bool shownOnce_ = false;
    platform::WindowState state_ = platform::WindowState::Normal;
    std::function<void(const platform::Event&)> handler_;
    std::map<int, std::unique_ptr<FakeCheckBox>> checks_;
    std::map<int, std::unique_ptr<FakeListBox>> lists_;
    std::map<int, std::unique_ptr<FakeTextBox>> texts_;
    std::map<int, std::unique_ptr<FakePanelStatusBar>> statuses_;
    std::map<int, std::unique_ptr<FakeRichText>> riches_;
    std::map<int, std::unique_ptr<FakeListView>> rows_;
};

// Records every SetWindowPos call.
class RecordingZOrder : public platform::WindowZOrder {
  public:
    struct Call {
        platform::WindowHandle window;
        platform::WindowHandle insertAfter;
        unsigned flags;
    };
    bool SetWindowPos(platform::WindowHandle window, platform::WindowHandle insertAfter,
                      unsigned flags) override {
        calls.push_back({window, insertAfter, flags});
        return true;
    }
    // Whether the last call for the window put it into the topmost band.
    bool Topmost(platform::WindowHandle window) const {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
            if (it->window == window) {
                return it->insertAfter == platform::kHwndTopmost;
            }
        }
        return false;
    }
    std::vector<Call> calls;
};

}  // namespace quell::testing
