#include "windows/Form8.h"

#include <charconv>

#include "mainwindow/clsOnTop.h"
#include "platform/Bindings.h"
#include "platform/Path.h"
#include "resources/SecondaryDesigns.h"

namespace quell {
namespace {

constexpr std::string_view kHelpFile = "Help.rtf";

namespace ctl = design::Form8Controls;

constexpr platform::Binding<Form8> kBindings[] = {
    {ctl::Check1, platform::EventKind::Click, &Form8::Check1_Click},
    {platform::kWindow, platform::EventKind::QueryClose, &Form8::Close},
};

}  // namespace

Form8::Form8(platform::Form& window, Settings& settings, platform::WindowZOrder& zorder,
             std::string programFolder, std::function<bool(const std::string&)> fileExists)
    : window_(window),
      settings_(settings),
      zorder_(zorder),
      programFolder_(std::move(programFolder)),
      fileExists_(std::move(fileExists)) {}

std::string Form8::DocumentPath() const {
    return platform::InFolder(programFolder_, kHelpFile);
}

std::optional<platform::WindowHandle> Form8::Show() {
    if (!window_.IsLoaded()) {
        const std::string path = DocumentPath();
        if (!fileExists_(path) || !window_.Load()) {
            return std::nullopt;  // nothing shown, nothing kept: the next request tests again
        }
        window_.SetEventHandler([this](const platform::Event& event) { OnEvent(event); });
        loading_ = true;
        window_.Check(ctl::Check1).SetValue(1);  // the design's value: no click behaviour
        loading_ = false;
        (void)window_.Rich(ctl::rtf1).LoadFile(path);
        modOnTop::SetFormTopmost(zorder_, window_, true);
        // A stored 0 unticks the box, whose click writes the same "0" back; a value that is
        // not 0 or 1 leaves the design's tick.
        const std::string stored = settings_.GetString(keys::kShowHelp);
        int value = 1;
        const auto [end, error] =
            std::from_chars(stored.data(), stored.data() + stored.size(), value);
        if (error == std::errc() && end == stored.data() + stored.size() &&
            (value == 0 || value == 1)) {
            window_.Check(ctl::Check1).SetValue(value);
        }
    }
    window_.BringToFront();
    return window_.Handle();
}

void Form8::OnEvent(const platform::Event& event) {
    (void)platform::Dispatch<Form8>(kBindings, *this, event);
}

void Form8::Check1_Click() {
    if (!loading_) {
        (void)settings_.SaveNumber(keys::kShowHelp, window_.Check(ctl::Check1).Value());
    }
}

void Form8::Close() {
    window_.Unload();
}

}  // namespace quell
