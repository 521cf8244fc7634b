// Membership against a plain reference: fold both sides, then std::string::find.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "blocker/ListText.h"
#include "blocker/TextCompare.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t split = data[0] % size;
    const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string_view key = rest.substr(0, split < rest.size() ? split : rest.size());
    const std::string_view list = rest.substr(key.size());

    quell::ListText text{std::string(list)};
    const std::string foldedList = quell::FoldCase(list);
    const std::string foldedKey = quell::FoldCase(key);
    const bool expected = !foldedList.empty() && foldedList.find(foldedKey) != std::string::npos;
    if (text.Contains(key) != expected) {
        std::abort();
    }
    // Appending entry by entry must fold the same as folding the whole text.
    quell::ListText appended;
    appended.AppendEntry(list);
    if (appended.Contains(key) !=
        quell::ContainsFolded(quell::FoldCase(std::string(list) + "\r\n"), foldedKey)) {
        std::abort();
    }
    if (quell::FoldCase(list).size() != list.size()) {
        std::abort();  // folding keeps byte length
    }
    return 0;
}
