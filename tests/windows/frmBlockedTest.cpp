#include "windows/frmBlocked.h"

#include <gtest/gtest.h>

#include "resources/BlockedDesign.h"
#include "support/FakeForm.h"

namespace quell {
namespace {

using testing::FakeForm;

class FakeBlockedServices : public BlockedPopupsServices {
  public:
    std::optional<std::string> ChooseCsvFile() override { return csvPath; }
    platform::Status WriteFileBytes(const std::string& path, std::string_view bytes) override {
        written[path] = std::string(bytes);
        return platform::Status::Ok();
    }
    bool CopyText(const std::string& text) override {
        copied = text;
        return true;
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool OpenPopup(const std::string& opener, const std::string& url) override {
        opened.push_back(opener + " " + url);
        return true;
    }

    std::optional<std::string> csvPath = "blocked.csv";
    std::map<std::string, std::string> written;
    std::string copied;
    std::vector<std::string> messages, opened;
};

class frmBlockedTest : public ::testing::Test {
  protected:
    frmBlockedTest() {
        state.history.SetListener([this] { form.HistoryChanged(); });
    }
    void Block(const std::string& opener, const std::string& site, const std::string& popup) {
        std::string o = opener, s = site;
        state.history.Record(0, std::move(o), std::move(s), popup, BlockReason::NotAllowed);
    }
    testing::FakeListView& Rows() { return window.FakeRows("lvwBlocked"); }
    void Select(int row) { Rows().selected[row] = true; }

    BlockerState state;
    FakeForm window{design::kBlockedDesign, 7};
    FakeBlockedServices services;
    std::vector<std::string> allowed;
    frmBlocked form{state, window, services,
                    [this](const std::string& s) { allowed.push_back(s); }};
};

TEST_F(frmBlockedTest, RowsAreTheHistoryNewestFirstAndFollowIt) {
    Block("http://a.example/", "a.example", "");
    ASSERT_TRUE(form.Show());
    ASSERT_EQ(Rows().RowCount(), 1);
    Block("http://b.example/", "b.example", "http://pop.example/");
    ASSERT_EQ(Rows().RowCount(), 2);
    EXPECT_EQ(Rows().rows[0],
              (std::vector<std::string>{FormatLocalTime(0), "b.example", "http://pop.example/",
                                        "not on the allowed list"}));
    state.history.SetPopupAddress(1, "http://late.example/");
    EXPECT_EQ(Rows().Cell(1, 2), "http://late.example/");
    for (std::size_t i = 0; i < BlockedHistory::kCapacity; ++i) {
        Block("http://c.example/", "c.example", "");
    }
    EXPECT_EQ(Rows().RowCount(), static_cast<int>(BlockedHistory::kCapacity));
    EXPECT_EQ(Rows().Cell(999, 1), "c.example");
    window.Click("cmdClear");
    EXPECT_EQ(Rows().RowCount(), 0);
    EXPECT_EQ(state.history.Size(), 0u);
}

TEST_F(frmBlockedTest, CopySaveAndAllowWorkOnTheSelectedRows) {
    Block("http://a.example/x", "a.example", "http://p.example/1");
    Block("http://b.example/y", "b.example", "http://p.example/2");
    ASSERT_TRUE(form.Show());
    Select(0);
    Select(1);
    window.Click("cmdCopy");
    EXPECT_EQ(services.copied, HistoryRowText(state.history.Newest(0)) + "\r\n" +
                                   HistoryRowText(state.history.Newest(1)) + "\r\n");
    window.Click("cmdSave");
    EXPECT_EQ(services.written["blocked.csv"], HistoryCsv(state.history));
    Rows().selected[0] = false;
    window.Click("cmdAllow");
    EXPECT_EQ(allowed, std::vector<std::string>{"a.example"});
}

TEST_F(frmBlockedTest, OpenPopupOpensOnlyWebAddresses) {
    for (const char* popup : {"javascript:alert(1)", "file:///C:/x.html", "", "http:///path",
                              "http://x.example/\"a b", "HTTPS://ok.example/p?q=1"}) {
        Block("http://a.example/", "a.example", popup);
    }
    ASSERT_TRUE(form.Show());
    for (int row = 5; row >= 0; --row) {
        Rows().selected.assign(6, false);
        Select(row);
        window.Click("cmdOpen");
    }
    EXPECT_EQ(services.messages.size(), 5u);
    EXPECT_EQ(services.opened,
              std::vector<std::string>{"http://a.example/ HTTPS://ok.example/p?q=1"});
}

}  // namespace
}  // namespace quell
