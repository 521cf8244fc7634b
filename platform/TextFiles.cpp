#include "platform/TextFiles.h"

namespace platform {

bool IsTemporaryOf(std::string_view name, std::string_view file) {
    const std::size_t length =
        file.size() + kTemporaryMark.size() + kTemporaryUniqueLength + kTemporaryEnd.size();
    if (name.size() != length || !name.starts_with(file) || !name.ends_with(kTemporaryEnd)) {
        return false;
    }
    name.remove_prefix(file.size());
    if (!name.starts_with(kTemporaryMark)) {
        return false;
    }
    for (const char c : name.substr(kTemporaryMark.size(), kTemporaryUniqueLength)) {
        const bool alphanumeric =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alphanumeric) {
            return false;
        }
    }
    return true;
}

}  // namespace platform
