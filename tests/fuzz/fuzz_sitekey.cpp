// Site keys of arbitrary addresses against a plain reference of the rule: remove every
// "http://", then every "https://" (any case, one pass each), keep the text before the first
// "/".
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "blocker/SiteKey.h"
#include "blocker/TextCompare.h"

namespace {

std::string RemoveAll(std::string_view text, std::string_view pattern) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (quell::StartsWithIgnoreAsciiCase(text.substr(i), pattern)) {
            i += pattern.size();
        } else {
            out.push_back(text[i++]);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view url(reinterpret_cast<const char*>(data), size);
    std::string expected = RemoveAll(RemoveAll(url, "http://"), "https://");
    expected = expected.substr(0, expected.find('/'));
    if (quell::SiteKey(url) != expected) {
        std::abort();
    }
    return 0;
}
