#include "blocker/ListText.h"

#include "blocker/TextCompare.h"

namespace quell {

void ListText::Assign(std::string text) {
    text_ = std::move(text);
    folded_.clear();
    folded_.reserve(text_.capacity());  // the same room for later entries
    FoldCaseAppend(text_, folded_);
}

void ListText::AppendEntry(std::string_view entry) {
    text_ += entry;
    text_ += "\r\n";
    FoldCaseAppend(entry, folded_);
    folded_ += "\r\n";
}

bool ListText::Contains(std::string_view key) const {
    if (folded_.empty()) {
        return false;
    }
    // Folding keeps the byte length, so a usual key folds on the stack, without allocating.
    char buffer[256];
    if (key.size() <= sizeof buffer) {
        FoldCaseInto(key, buffer);
        return ContainsFolded(folded_, std::string_view(buffer, key.size()));
    }
    return ContainsFolded(folded_, FoldCase(key));
}

}  // namespace quell
