// The control interfaces over real Win32 controls, and the window class and styles each kind
// of designed control is created with.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Controls.h"
#include "platform/win32/Handles.h"
#include "resources/Design.h"

namespace platform::win32 {

using UniqueImageList = UniqueResource<HIMAGELIST, &::ImageList_Destroy>;

// The plain child window class of picture boxes; registered by the window builder.
inline constexpr wchar_t kPictureBoxClass[] = L"QuellPanePictureBox";

struct ControlClass {
    const wchar_t* name;
    DWORD style;
    DWORD exStyle;
};

// Class and styles of the table's control at `index`: tab stops on the controls that take
// the focus, a new group at the first control, at each frame and wherever the parent
// changes, and WS_VISIBLE unless the design hides the control.
ControlClass ClassFor(const quell::design::WindowDesign& window, std::size_t index);

// A window's text, or a control's caption, as UTF-16.
std::wstring WindowText(HWND window);

// What the parent window is told about a control (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM,
// WM_CTLCOLOR*), handed back to the control's own adapter: each kind answers for itself.
// Every control gets this much; a kind that does more overrides it.
class ControlReflection {
  public:
    virtual ~ControlReflection() = default;

    // Called with a DC already in the control's font and colours, at an origin of the
    // control's client area: draws what shows through behind a control on a painted picture,
    // false when nothing is painted there.
    void SetBackground(std::function<bool(HDC)> paint) { background_ = std::move(paint); }

    // WM_COMMAND's notification code.
    virtual void OnCommand(int /*code*/) {}
    // WM_NOTIFY: what the parent returns.
    virtual LRESULT OnNotify(const NMHDR& /*header*/) { return 0; }
    // WM_DRAWITEM: false when the control does not draw its items this way.
    virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) const { return false; }
    // WM_CTLCOLOR*: the brush the parent returns, given the default one. A static control
    // (labels, check boxes, frames) over a painted picture shows the picture around its text.
    virtual LRESULT OnCtlColor(UINT message, HDC dc, LRESULT brush) const;

  private:
    std::function<bool(HDC)> background_;
};

// Each adapter acts on the control it is attached to; detached (the form unloaded) it reads
// as empty and ignores writes.

// The window text: a text box's contents, or a label's, button's or frame's caption.
class Win32TextBox final : public TextBox {
  public:
    void Attach(HWND control) { control_ = control; }
    std::string Text() const override;
    void SetText(const std::string& text) override;

  private:
    HWND control_ = nullptr;
};

class Win32CheckBox final : public CheckBox, public ControlReflection {
  public:
    // `clicked` raises the box's Click event, for the user's clicks and the program's changes.
    explicit Win32CheckBox(std::function<void()> clicked) : clicked_(std::move(clicked)) {}
    void Attach(HWND control);
    int Value() const override;
    // 0 clear, 1 ticked, 2 grey; other values are not a state of the box and change nothing.
    void SetValue(int value) override;
    // The user clicked the box (or pressed Space on it): ticked becomes clear, anything else
    // ticked.
    void OnUserClick();
    // The user clicked the box's label: the box takes the focus and the click.
    void OnLabelClick();
    void OnCommand(int code) override;

  private:
    HWND control_ = nullptr;
    // Every popup request reads the switches, and under Wine each message to a box costs about
    // a tenth of a millisecond: the value is kept here, where every change of it passes.
    int value_ = 0;
    std::function<void()> clicked_;
};

// A push button; one holding a picture draws its own label, see OnNotify.
class Win32Button final : public ControlReflection {
  public:
    explicit Win32Button(std::function<void()> clicked) : clicked_(std::move(clicked)) {}
    void OnCommand(int code) override;
    // The picture at the top of the button's label area and the caption centred in the rest,
    // in the width it was measured in: the control would draw the caption in the narrower
    // rectangle it measured, where Wine wraps a line again whose trailing space does not fit.
    LRESULT OnNotify(const NMHDR& header) override;

  private:
    std::function<void()> clicked_;
};

// A label raises its own Click, or, when it is a check box's row text, clicks that box as a
// check box's own caption would.
class Win32Label final : public ControlReflection {
  public:
    explicit Win32Label(std::function<void()> clicked) : clicked_(std::move(clicked)) {}
    void SetBox(Win32CheckBox* box) { box_ = box; }
    void OnCommand(int code) override;

  private:
    std::function<void()> clicked_;
    Win32CheckBox* box_ = nullptr;
};

// The box shows items it does not store (LBS_NODATA, drawn by its window): filling a text
// list box with a 2.5-million-line list takes minutes under Wine, and a text item ends at its
// first NUL. The items live here, in one buffer, exactly as given; the box knows their count.
class Win32ListBox final : public ListBox, public ControlReflection {
  public:
    // Marks the box as one with texts, so that other programs (accessibility tools, the test
    // driver) get LB_GETTEXT marshalled and answered from here.
    void Attach(HWND control);
    bool AddItem(const std::string& item) override;
    bool AddItems(std::span<const std::string_view> items) override;
    void RemoveItem(int index) override;
    void Clear() override;
    int ListCount() const override;
    std::string List(int index) const override;
    bool Selected(int index) const override;
    std::string ItemsText() const override;

    // WM_DRAWITEM of the box, in the DC's font and colours.
    bool OnDrawItem(const DRAWITEMSTRUCT& item) const override;
    // LB_GETTEXTLEN and LB_GETTEXT (UTF-16, the buffer holding the length and a NUL).
    LRESULT TextLength(WPARAM index) const;
    LRESULT CopyText(WPARAM index, wchar_t* buffer) const;
    // A row as high as the box's font, as a text list box has; after every font change.
    void FitItemHeight() const;

  private:
    std::size_t Count() const { return ends_.size(); }
    std::string_view At(std::size_t index) const;
    void Truncate(std::size_t count);

    HWND control_ = nullptr;
    std::string bytes_;              // every item, one after the other
    std::vector<std::size_t> ends_;  // where each item ends in bytes_
};

// Panels laid out left to right; a panel's width is kept in twips and converted at the
// window's DPI whenever the panels or the DPI change.
class Win32StatusBar final : public StatusBar, public ControlReflection {
  public:
    // `clicked` raises the bar's Click with the panel clicked, numbered from 1 as the panels
    // are; 0 beyond the last panel.
    explicit Win32StatusBar(std::function<void(int panel)> clicked)
        : clicked_(std::move(clicked)) {}
    // A newly attached status bar has no panels.
    void Attach(HWND control, UINT dpi);
    void SetDpi(UINT dpi);
    void SetPanelText(int panel, const std::string& text) override;
    void AddPanel() override;
    int PanelCount() const override;
    void SetPanelWidth(int panel, int twips) override;
    LRESULT OnNotify(const NMHDR& header) override;

  private:
    void ApplyPanels() const;

    std::function<void(int panel)> clicked_;
    HWND control_ = nullptr;
    UINT dpi_ = 96;
    std::vector<int> widthsTwips_;
};

// A report-style list view; its columns come from the design's text ("Caption:twips|...").
class Win32ListView final : public ListView {
  public:
    void Attach(HWND control, std::string_view columns, UINT dpi);
    // The column widths for a new DPI (the window moved to another monitor).
    void SetDpi(UINT dpi);
    bool InsertRow(int index, std::span<const std::string> cells) override;
    void RemoveRow(int index) override;
    void Clear() override;
    int RowCount() const override;
    std::string Cell(int row, int column) const override;
    bool RowSelected(int row) const override;

  private:
    struct Column {
        std::string_view caption;
        int twips;
    };
    std::vector<Column> Columns() const;

    HWND control_ = nullptr;
    std::string_view columns_;  // the design's text, which lives as long as the program
};

class Win32RichText final : public RichTextBox {
  public:
    void Attach(HWND control) { control_ = control; }
    // Streams the file in as RTF.
    bool LoadFile(const std::string& path) override;

  private:
    HWND control_ = nullptr;
};

}  // namespace platform::win32
