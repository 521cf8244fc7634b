// A site list held as one text, every entry followed by CR LF; the popup decision searches it.
#pragma once

#include <string>
#include <string_view>

namespace quell {

class ListText {
  public:
    ListText() = default;
    explicit ListText(std::string text) { Assign(std::move(text)); }

    void Assign(std::string text);
    ListText& operator=(std::string text) {
        Assign(std::move(text));
        return *this;
    }
    // Appends one entry and its CR LF.
    void AppendEntry(std::string_view entry);

    const std::string& Text() const { return text_; }
    bool empty() const { return text_.empty(); }

    // List membership: the key occurs anywhere in the whole text, without regard to case.
    bool Contains(std::string_view key) const;

    friend bool operator==(const ListText& a, const ListText& b) { return a.text_ == b.text_; }

  private:
    std::string text_;
    std::string folded_;  // case-folded once per change, not per decision
};

// The list text of a sequence of entries.
template <class Entries>
std::string JoinEntries(const Entries& entries) {
    std::size_t size = 0;
    for (const auto& entry : entries) {
        size += std::string_view(entry).size() + 2;
    }
    std::string text;
    // One allocation for a list of millions of entries, with room for the entries added later.
    text.reserve(size + size / 8);
    for (const auto& entry : entries) {
        text += entry;
        text += "\r\n";
    }
    return text;
}

}  // namespace quell
