// The popups blocked while the program runs, newest first: what the user needs to find the
// window that was stopped and get it back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quell {

enum class BlockReason { NotAllowed, Disallowed, BlockNow, BlockAlways, PromptClosed };

std::string_view ReasonText(BlockReason reason);

struct BlockedPopup {
    std::int64_t time = 0;  // seconds since 1970, UTC
    std::string opener;     // the address of the page that asked
    std::string site;       // its site key
    std::string popup;      // the popup's own address; empty when the browser did not say
    BlockReason reason = BlockReason::NotAllowed;
    std::uint64_t serial = 0;  // 1 for the first popup of the run, never reused
    bool cut = false;          // a text was longer than kMaxText and was shortened
};

class BlockedHistory {
  public:
    static constexpr std::size_t kCapacity = 1000;
    // The longest address the browser itself accepts; a longer text is cut to this.
    static constexpr std::size_t kMaxText = 2083;

    BlockedHistory();

    // Takes the texts over without copying them (the decision's own strings), so that the
    // decision costs no more than before; the oldest entry goes when the ring is full.
    // Returns the new entry's serial.
    std::uint64_t Record(std::int64_t time, std::string&& opener, std::string&& site,
                         std::string_view popup, BlockReason reason);
    // A browser that raises NewWindow2 before NewWindow3 gives the popup's address only with
    // the second event, after the first was decided: the entry gets it then.
    void SetPopupAddress(std::uint64_t serial, std::string_view popup);
    void Clear();

    std::size_t Size() const { return size_; }
    // 0 is the newest.
    const BlockedPopup& Newest(std::size_t index) const;
    // The entry with this serial, if it is still kept.
    const BlockedPopup* Find(std::uint64_t serial) const;

    // Heap and object bytes held, for the bound on memory.
    std::size_t MemoryBytes() const;

    // Called after every Record and Clear (the window's live update, the tray tip).
    void SetListener(std::function<void()> listener) { listener_ = std::move(listener); }

  private:
    std::vector<BlockedPopup> ring_;
    std::size_t next_ = 0;  // slot the next entry goes to
    std::size_t size_ = 0;
    std::uint64_t serial_ = 0;
    std::function<void()> listener_;
};

// CSV of the whole history, newest first: a header row `time,site,opener,popup,reason`, CR LF
// line ends, fields quoted as RFC 4180 asks. UTF-8, as the texts are.
std::string HistoryCsv(const BlockedHistory& history);
// One row as tab-separated text (time, site, opener, popup, reason); tabs and line breaks in
// a text become spaces, so that a row stays a row.
std::string HistoryRowText(const BlockedPopup& entry);
// "YYYY-MM-DD HH:MM:SS" in local time.
std::string FormatLocalTime(std::int64_t time);

}  // namespace quell
