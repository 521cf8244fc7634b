#include "blocker/BlockedHistory.h"

#include <gtest/gtest.h>

#include <string>

namespace quell {
namespace {

std::uint64_t Add(BlockedHistory& history, std::string opener, std::string popup = {}) {
    std::string site = "s";
    return history.Record(1, std::move(opener), std::move(site), popup, BlockReason::NotAllowed);
}

TEST(BlockedHistoryTest, KeepsTheLastThousandNewestFirst) {
    BlockedHistory history;
    int changes = 0;
    history.SetListener([&] { ++changes; });
    for (int i = 1; i <= 1005; ++i) {
        Add(history, std::to_string(i));
    }
    EXPECT_EQ(changes, 1005);
    ASSERT_EQ(history.Size(), 1000u);
    EXPECT_EQ(history.Newest(0).opener, "1005");
    EXPECT_EQ(history.Newest(999).opener, "6");
    EXPECT_EQ(history.Find(5), nullptr) << "overwritten";
    ASSERT_NE(history.Find(6), nullptr);
    EXPECT_EQ(history.Find(6)->opener, "6");
    history.Clear();
    EXPECT_EQ(history.Size(), 0u);
    EXPECT_EQ(history.Find(1005), nullptr);
    EXPECT_EQ(Add(history, "x"), 1006u) << "serials are never reused";
}

// Addresses come from web pages: however long, the ring's memory stays bounded.
TEST(BlockedHistoryTest, LongTextsAreCutOnACharacterBoundaryAndMemoryStaysBounded) {
    BlockedHistory history;
    const std::string huge = "http://x/" + std::string(BlockedHistory::kMaxText, 'a');
    const std::string accented = std::string(BlockedHistory::kMaxText - 1, 'b') + "\xC3\xA9";
    for (std::size_t i = 0; i < 2 * BlockedHistory::kCapacity; ++i) {
        std::string site = huge;
        history.Record(1, std::string(huge), std::move(site), accented, BlockReason::Disallowed);
    }
    const BlockedPopup& entry = history.Newest(0);
    EXPECT_TRUE(entry.cut);
    EXPECT_EQ(entry.opener.size(), BlockedHistory::kMaxText);
    EXPECT_EQ(entry.popup, std::string(BlockedHistory::kMaxText - 1, 'b')) << "no half character";
    const std::size_t perEntry = sizeof(BlockedPopup) + 3 * (BlockedHistory::kMaxText + 1);
    EXPECT_LE(history.MemoryBytes(), sizeof(history) + BlockedHistory::kCapacity * perEntry);
    EXPECT_FALSE(Add(history, "http://short/") == 0 || history.Newest(0).cut);
}

TEST(BlockedHistoryTest, PopupAddressOfALaterEventFillsOnlyAnEmptyOne) {
    BlockedHistory history;
    const std::uint64_t without = Add(history, "a");
    const std::uint64_t with = Add(history, "b", "http://given/");
    history.SetPopupAddress(without, "http://later/");
    history.SetPopupAddress(with, "http://other/");
    history.SetPopupAddress(999, "http://nobody/");
    EXPECT_EQ(history.Find(without)->popup, "http://later/");
    EXPECT_EQ(history.Find(with)->popup, "http://given/");
}

TEST(BlockedHistoryTest, CsvQuotesAsRfc4180AndCopyKeepsOneLinePerRow) {
    BlockedHistory history;
    std::string site = "s.example";
    history.Record(0, "http://s.example/a,b", std::move(site), "http://p/\"q\"\r\nx",
                   BlockReason::PromptClosed);
    const std::string time = FormatLocalTime(0);
    EXPECT_EQ(HistoryCsv(history),
              "time,site,opener,popup,reason\r\n" + time +
                  ",s.example,\"http://s.example/a,b\",\"http://p/\"\"q\"\"\r\n"
                  "x\",prompt closed\r\n");
    EXPECT_EQ(HistoryRowText(history.Newest(0)),
              time + "\ts.example\thttp://s.example/a,b\thttp://p/\"q\"  x\tprompt closed");
    EXPECT_EQ(time.size(), 19u);
}

}  // namespace
}  // namespace quell
