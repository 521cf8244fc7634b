// The few operations the logic needs of the window toolkit's controls; the Win32 builder
// implements them over real controls, tests over fakes.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace platform {

// A value set by the program that differs from the current one runs the box's click
// behaviour, exactly as a user's click would.
class CheckBox {
  public:
    virtual ~CheckBox() = default;
    virtual int Value() const = 0;
    virtual void SetValue(int value) = 0;
};

// On only when the value is exactly 1 (ticked); a grey or odd value counts as off.
inline bool IsOn(const CheckBox& box) {
    return box.Value() == 1;
}

// Items are kept exactly as given, whatever bytes they hold.
class ListBox {
  public:
    virtual ~ListBox() = default;
    // Appended after the last item; false when the box has no room for it.
    virtual bool AddItem(const std::string& item) = 0;
    // Appends every item in order (a whole list file at once); false when the box took
    // fewer than all of them.
    virtual bool AddItems(std::span<const std::string_view> items) {
        for (const std::string_view item : items) {
            if (!AddItem(std::string(item))) {
                return false;
            }
        }
        return true;
    }
    virtual void RemoveItem(int index) = 0;
    virtual void Clear() {
        while (ListCount() > 0) {
            RemoveItem(ListCount() - 1);
        }
    }
    virtual int ListCount() const = 0;
    virtual std::string List(int index) const = 0;
    virtual bool Selected(int index) const = 0;
    // Every item in order, each followed by CR LF: the list text of the box.
    virtual std::string ItemsText() const {
        std::string text;
        for (int i = 0; i < ListCount(); ++i) {
            text += List(i);
            text += "\r\n";
        }
        return text;
    }
};

// Anything with a text: text boxes, labels, button and frame captions.
class TextBox {
  public:
    virtual ~TextBox() = default;
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

// Panels are numbered from 1, as the status bar shows them; widths are in twips. Text for a
// panel that does not exist yet is dropped.
class StatusBar {
  public:
    virtual ~StatusBar() = default;
    virtual void SetPanelText(int panel, const std::string& text) = 0;
    virtual void AddPanel() {}
    virtual int PanelCount() const { return 0; }
    virtual void SetPanelWidth(int /*panel*/, int /*twips*/) {}
};

// Rows of texts under column headings (a report-style list view); row 0 is the top row.
class ListView {
  public:
    virtual ~ListView() = default;
    // False when the view has no room for the row.
    virtual bool InsertRow(int index, std::span<const std::string> cells) = 0;
    virtual void RemoveRow(int index) = 0;
    virtual void Clear() = 0;
    virtual int RowCount() const = 0;
    virtual std::string Cell(int row, int column) const = 0;
    virtual bool RowSelected(int row) const = 0;
};

// A read-only rich text view.
class RichTextBox {
  public:
    virtual ~RichTextBox() = default;
    // Shows the document in the file; false when it cannot be read.
    virtual bool LoadFile(const std::string& path) = 0;
};

// The status line is panel 2: every user action writes one line there.
inline void SetStatus(StatusBar& bar, const std::string& text) {
    bar.SetPanelText(2, text);
}

}  // namespace platform
