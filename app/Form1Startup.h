// The main window's controller and the product information as its load and unload sequences
// reach them: the sequences know neither the main window's code nor the secondary windows'.
#pragma once

#include <string>
#include <utility>

#include "mainwindow/Form1.h"
#include "store/Startup.h"
#include "windows/modSiteLink.h"

namespace app {

class Form1Startup final : public quell::MainWindowForm {
  public:
    explicit Form1Startup(quell::Form1& form) : form_(form) {}

    platform::Form& window() override { return form_.window(); }
    void SetStatus(const std::string& text) override { form_.SetStatus(text); }
    const std::string& state() const override { return form_.state(); }
    void set_state(std::string value) override { form_.set_state(std::move(value)); }
    void Form_Resize() override { form_.Form_Resize(); }
    platform::TopmostBand& onTop() override { return form_.onTop(); }
    void OnEvent(const platform::Event& event) override { form_.OnEvent(event); }

  private:
    quell::Form1& form_;
};

// Views of the live fields: the splash fills them before the main window loads.
inline quell::ProductNames ProductNamesOf(const quell::modSiteLink& site) {
    return {site.strProductName, site.strCompanyName, site.strWebsite};
}

}  // namespace app
