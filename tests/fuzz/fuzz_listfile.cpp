// Loading a list file of arbitrary bytes: decode, split, skip; entries never hold a CR and a
// rewrite of what was loaded loads back the same entries.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "blocker/ListText.h"
#include "platform/Cp1252.h"
#include "store/ListFileFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string text = platform::cp1252::Decode(bytes);
    const auto entries = quell::ParseListFile(text);
    for (const std::string& entry : entries) {
        if (entry.find('\r') != std::string::npos || quell::IsSkippedLine(entry)) {
            std::abort();
        }
    }
    const std::string rewritten = quell::RewriteContent(quell::JoinEntries(entries));
    const auto encoded = platform::cp1252::Encode(rewritten);
    if (!encoded || quell::ParseListFile(platform::cp1252::Decode(*encoded)) != entries) {
        std::abort();
    }
    return 0;
}
