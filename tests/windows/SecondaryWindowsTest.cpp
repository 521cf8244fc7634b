#include <gtest/gtest.h>

#include "platform/Path.h"
#include "resources/SecondaryDesigns.h"
#include "support/FakeForm.h"
#include "support/FakeSettingsStore.h"
#include "windows/Form8.h"
#include "windows/frmAbout.h"
#include "windows/frmSplash.h"
#include "windows/frmWebsite.h"
#include "windows/modSkin.h"

namespace quell {
namespace {

using namespace quell::testing;

class FixedVersion : public VersionSource {
  public:
    ProductInfo Read() override {
        ++reads;
        return info;
    }
    ProductInfo info{"QuellPane", "QuellPane Project", "quellpane.example", 1, 0};
    int reads = 0;
};

class RecordingShell : public platform::Shell {
  public:
    void OpenAddress(const std::string& address) override { opened.push_back(address); }
    std::vector<std::string> opened;
};

struct AddressCase {
    const char* website;
    const char* opened;  // nullptr: nothing handed to the shell
};

void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << '"' << c.website << '"';
}

class WebsiteAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(WebsiteAddressTest, SchemeAddedOnlyWhenNeitherAppears) {
    const std::optional<std::string> address = WebsiteAddress(GetParam().website);
    if (GetParam().opened == nullptr) {
        EXPECT_FALSE(address.has_value());
    } else {
        EXPECT_EQ(address, std::optional<std::string>(GetParam().opened));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, WebsiteAddressTest,
    ::testing::Values(AddressCase{"quellpane.example", "http://quellpane.example"},
                      AddressCase{"HTTPS://quellpane.example/", "HTTPS://quellpane.example/"},
                      AddressCase{"http://a.example", "http://a.example"},
                      AddressCase{"", "http://"},
                      // A scheme further in is left as it is, and such an address is not a
                      // web address: the shell must not be asked to run it.
                      AddressCase{"file:///C:/x.exe?http://a", nullptr},
                      AddressCase{"C:\\Windows\\notepad.exe http://a", nullptr}));

class WebsiteOpenerTest : public ::testing::Test {
  protected:
    FakeForm window{design::kWebsiteDesign, 500};
    modSiteLink site;
    FixedVersion version;
    RecordingShell shell;
    frmWebsite opener{window, site, version, shell};
};

TEST_F(WebsiteOpenerTest, OpensOnceAndUnloadsASecondLater) {
    site.strLinkMode = "Website";
    opener.Load();
    EXPECT_EQ(shell.opened, std::vector<std::string>{"http://quellpane.example"});
    EXPECT_EQ(site.strLinkMode, "");
    EXPECT_EQ(window.timers[frmWebsite::kTimer1], 1000);
    EXPECT_FALSE(window.Visible());

    site.strLinkMode = "Website";  // a second click within the second
    opener.Load();
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(site.strLinkMode, "Website");  // pending for the next load

    window.Raise(platform::EventKind::Timer, "", frmWebsite::kTimer1);
    EXPECT_FALSE(window.IsLoaded());
    opener.Load();
    EXPECT_EQ(shell.opened.size(), 2u);
}

TEST_F(WebsiteOpenerTest, OnlyTheExactRequestOpensAnything) {
    for (const char* mode : {"", "website", "Website "}) {
        site.strLinkMode = mode;
        window.Unload();
        opener.Load();
        EXPECT_EQ(site.strLinkMode, mode);
    }
    EXPECT_TRUE(shell.opened.empty());
}

TEST(AboutWindowTest, ShowsVersionInformationAndOpensWebsite) {
    FakeForm window{design::kAboutDesign, 600};
    modSiteLink site;
    FixedVersion version;
    site.LoadSiteInfo(version);
    int opened = 0;
    frmAbout about(window, site, version, [&] { ++opened; });
    EXPECT_EQ(about.Show(), 600u);
    EXPECT_EQ(window.caption, "About QuellPane");
    EXPECT_EQ(window.Text(design::frmAboutControls::Label1).Text(), "QuellPane");
    EXPECT_EQ(window.Text(design::frmAboutControls::lblVersion).Text(), "1.0");
    EXPECT_EQ(window.Text(design::frmAboutControls::lblCompany).Text(), "QuellPane Project");
    EXPECT_EQ(window.Text(design::frmAboutControls::lblWebsite).Text(), "quellpane.example");
    window.Click("lblWebsite");
    EXPECT_EQ(site.strLinkMode, "Website");
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(window.Visible());
    // Asked for again while open (perhaps behind other windows): brought to the front.
    window.broughtToFront = 0;
    EXPECT_EQ(about.Show(), 600u);
    EXPECT_EQ(window.broughtToFront, 1);
    EXPECT_EQ(window.loads, 1);
}

class HelpWindowTest : public ::testing::Test {
  protected:
    std::optional<platform::WindowHandle> Show() { return help.Show(); }

    FakeForm window{design::kHelpDesign, 700};
    FakeSettingsStore store;
    Settings settings{store, "QuellPane", "quellpane.example"};
    RecordingZOrder zorder;
    bool present = true;
    std::vector<std::string> asked;
    Form8 help{window, settings, zorder, "C:\\Program Files\\QuellPane",
               [this](const std::string& path) {
                   asked.push_back(path);
                   return present;
               }};
};

TEST_F(HelpWindowTest, MissingDocumentShowsNothingAndIsTestedAgain) {
    present = false;
    EXPECT_FALSE(Show().has_value());
    EXPECT_FALSE(window.IsLoaded());
    EXPECT_FALSE(Show().has_value());
    EXPECT_EQ(asked, std::vector<std::string>(2, help.DocumentPath()));
    EXPECT_TRUE(store.values.empty());
}

TEST_F(HelpWindowTest, FirstOpenIsTopmostCheckedAndStoresNothing) {
    EXPECT_EQ(Show(), std::optional<platform::WindowHandle>(700));
    EXPECT_EQ(window.FakeRich("rtf1").loaded,
              platform::InFolder("C:\\Program Files\\QuellPane", "Help.rtf"));
    EXPECT_EQ(window.Check(design::Form8Controls::Check1).Value(), 1);
    EXPECT_TRUE(zorder.Topmost(700));
    EXPECT_EQ(zorder.calls.back().flags, 3u);
    EXPECT_TRUE(store.writes.empty());
    window.Click("Check1");
    EXPECT_EQ(store.Value("showHelp"), "0");
    window.Click("Check1");
    EXPECT_EQ(store.Value("showHelp"), "1");
    window.broughtToFront = 0;
    EXPECT_EQ(Show(), std::optional<platform::WindowHandle>(700));
    EXPECT_EQ(window.broughtToFront, 1);
    EXPECT_EQ(window.loads, 1);
}

TEST_F(HelpWindowTest, StoredValueSetsTheBox) {
    store.Put("showHelp", "0");
    Show();
    EXPECT_EQ(window.Check(design::Form8Controls::Check1).Value(), 0);
    EXPECT_EQ(store.writes, std::vector<std::string>{"showHelp"});  // the same "0" back
    window.Unload();
    store.Put("showHelp", "often");
    store.writes.clear();
    Show();
    EXPECT_EQ(window.Check(design::Form8Controls::Check1).Value(), 1);
    EXPECT_TRUE(store.writes.empty());
}

TEST(SplashTest, HandsOverOnThe75thTickExactlyOnce) {
    FakeForm window{design::kSplashDesign, 400};
    modSiteLink site;
    FixedVersion version;
    std::vector<std::string> order;
    frmSplash splash(window, site, version, [&] {
        order.push_back(window.Visible() ? "main shown while splash visible" : "main shown late");
    });
    splash.Load();
    EXPECT_EQ(site.strProductName, "QuellPane");
    EXPECT_TRUE(window.Visible());
    EXPECT_EQ(window.timers[frmSplash::kTimer2], frmSplash::kTickMilliseconds);
    for (int tick = 1; tick < 75; ++tick) {
        window.Raise(platform::EventKind::Timer, "", frmSplash::kTimer2);
    }
    EXPECT_TRUE(order.empty());
    window.Raise(platform::EventKind::Timer, "", frmSplash::kTimer2);
    EXPECT_EQ(order, std::vector<std::string>{"main shown while splash visible"});
    EXPECT_FALSE(window.Visible());
    EXPECT_TRUE(window.IsLoaded());  // hidden, not unloaded
    EXPECT_EQ(window.timers.count(frmSplash::kTimer2), 0u);
    EXPECT_EQ(splash.intTemp, 150);
}

class FakeSkinPlatform : public platform::SkinPlatform {
  public:
    class Engine : public platform::SkinEngine {
      public:
        explicit Engine(int& stops) : stops_(stops) {}
        void StopGlobalSkinning() override { ++stops_; }

      private:
        int& stops_;
    };
    platform::OsVersion QueryOsVersion() override { return version; }
    std::unique_ptr<platform::SkinEngine> CreateSkinEngine() override {
        ++creations;
        return installed ? std::make_unique<Engine>(stops) : nullptr;
    }
    platform::OsVersion version{true, 2, 6};
    bool installed = true;
    int creations = 0;
    int stops = 0;
};

struct SkinCase {
    platform::OsVersion version;
    bool stops;
};

void PrintTo(const SkinCase& c, std::ostream* os) {
    *os << c.version.callSucceeded << "/" << c.version.platformId << "/" << c.version.majorVersion;
}

class SkinStopTest : public ::testing::TestWithParam<SkinCase> {};

TEST_P(SkinStopTest, OnlyNt6AndLaterTouchTheEngine) {
    FakeSkinPlatform system;
    system.version = GetParam().version;
    modSkin skin(system);
    skin.StopGlobalSkin();
    EXPECT_EQ(system.creations, GetParam().stops ? 1 : 0);
    EXPECT_EQ(system.stops, GetParam().stops ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Versions, SkinStopTest,
                         ::testing::Values(SkinCase{{true, 2, 6}, true},
                                           SkinCase{{true, 2, 10}, true},
                                           SkinCase{{true, 2, 5}, false},
                                           SkinCase{{true, 1, 6}, false},
                                           SkinCase{{false, 2, 6}, false}));

TEST(SkinStopTest, ReusesTheEngineAndIgnoresAMissingComponent) {
    FakeSkinPlatform system;
    modSkin skin(system);
    skin.StopGlobalSkin();
    skin.StopGlobalSkin();
    EXPECT_EQ(system.creations, 1);
    EXPECT_EQ(system.stops, 2);
    FakeSkinPlatform bare;
    bare.installed = false;
    modSkin none(bare);
    none.StopGlobalSkin();
    none.StopGlobalSkin();
    EXPECT_EQ(bare.stops, 0);
}

}  // namespace
}  // namespace quell
