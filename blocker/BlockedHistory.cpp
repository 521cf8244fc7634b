#include "blocker/BlockedHistory.h"

#include <array>
#include <ctime>

namespace quell {
namespace {

// Cut on a character boundary, so that a shortened UTF-8 text stays valid.
bool Bound(std::string& text) {
    if (text.size() <= BlockedHistory::kMaxText) {
        return false;
    }
    std::size_t end = BlockedHistory::kMaxText;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    text.resize(end);
    text.shrink_to_fit();
    return true;
}

std::size_t HeapBytes(const std::string& text) {
    // Short texts live inside the string object itself.
    return text.capacity() > std::string().capacity() ? text.capacity() + 1 : 0;
}

void AppendCsvField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (const char c : field) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

// The texts after the time, in the order of the CSV header.
std::array<std::string_view, 4> TextFields(const BlockedPopup& entry) {
    return {entry.site, entry.opener, entry.popup, ReasonText(entry.reason)};
}

std::string OneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return line;
}

}  // namespace

std::string_view ReasonText(BlockReason reason) {
    switch (reason) {
        case BlockReason::NotAllowed:
            return "not on the allowed list";
        case BlockReason::Disallowed:
            return "on the disallowed list";
        case BlockReason::BlockNow:
            return "answered Block Now";
        case BlockReason::BlockAlways:
            return "answered Block Always";
        case BlockReason::PromptClosed:
            return "prompt closed";
    }
    return {};
}

BlockedHistory::BlockedHistory() {
    ring_.reserve(kCapacity);
}

std::uint64_t BlockedHistory::Record(std::int64_t time, std::string&& opener, std::string&& site,
                                     std::string_view popup, BlockReason reason) {
    if (ring_.size() < kCapacity) {
        ring_.emplace_back();
    }
    BlockedPopup& entry = ring_[next_];
    entry.time = time;
    // Taken over, not copied: the decision is measured with its history.
    entry.opener = std::move(opener);
    entry.site = std::move(site);
    if (!popup.empty() || !entry.popup.empty()) {
        entry.popup.assign(popup.substr(0, kMaxText + 4));
    }
    entry.reason = reason;
    entry.serial = ++serial_;
    entry.cut = false;
    if (entry.opener.size() > kMaxText || entry.site.size() > kMaxText ||
        entry.popup.size() > kMaxText) [[unlikely]] {
        const bool openerCut = Bound(entry.opener);
        const bool siteCut = Bound(entry.site);
        entry.cut = Bound(entry.popup) || openerCut || siteCut;
    }
    next_ = next_ + 1 == kCapacity ? 0 : next_ + 1;
    if (size_ < kCapacity) {
        ++size_;
    }
    if (listener_) {
        listener_();
    }
    return entry.serial;
}

void BlockedHistory::SetPopupAddress(std::uint64_t serial, std::string_view popup) {
    BlockedPopup* entry = const_cast<BlockedPopup*>(Find(serial));
    if (entry == nullptr || !entry->popup.empty() || popup.empty()) {
        return;
    }
    entry->popup.assign(popup.substr(0, kMaxText + 4));
    entry->cut = Bound(entry->popup) || entry->cut;
    if (listener_) {
        listener_();
    }
}

void BlockedHistory::Clear() {
    ring_.clear();
    next_ = 0;
    size_ = 0;
    if (listener_) {
        listener_();
    }
}

const BlockedPopup& BlockedHistory::Newest(std::size_t index) const {
    return ring_[(next_ + kCapacity - 1 - index) % kCapacity];
}

const BlockedPopup* BlockedHistory::Find(std::uint64_t serial) const {
    if (size_ == 0 || serial == 0 || serial > serial_ || serial_ - serial >= size_) {
        return nullptr;
    }
    return &Newest(static_cast<std::size_t>(serial_ - serial));
}

std::size_t BlockedHistory::MemoryBytes() const {
    std::size_t bytes = sizeof(*this) + ring_.capacity() * sizeof(BlockedPopup);
    for (const BlockedPopup& entry : ring_) {
        bytes += HeapBytes(entry.opener) + HeapBytes(entry.site) + HeapBytes(entry.popup);
    }
    return bytes;
}

std::string FormatLocalTime(std::int64_t time) {
    const std::time_t seconds = static_cast<std::time_t>(time);
    std::tm local{};
    // The user-interface thread is the only caller, so the shared buffer is safe.
    if (const std::tm* converted = std::localtime(&seconds)) {
        local = *converted;
    }
    std::array<char, 32> text{};
    const std::size_t length = std::strftime(text.data(), text.size(), "%Y-%m-%d %H:%M:%S", &local);
    return std::string(text.data(), length);
}

std::string HistoryRowText(const BlockedPopup& entry) {
    std::string row = FormatLocalTime(entry.time);
    for (const std::string_view field : TextFields(entry)) {
        row += '\t';
        row += OneLine(field);
    }
    return row;
}

std::string HistoryCsv(const BlockedHistory& history) {
    std::string csv = "time,site,opener,popup,reason\r\n";
    for (std::size_t i = 0; i < history.Size(); ++i) {
        const BlockedPopup& entry = history.Newest(i);
        AppendCsvField(csv, FormatLocalTime(entry.time));
        for (const std::string_view field : TextFields(entry)) {
            csv += ',';
            AppendCsvField(csv, field);
        }
        csv += "\r\n";
    }
    return csv;
}

}  // namespace quell
