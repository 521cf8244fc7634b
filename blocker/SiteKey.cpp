#include "blocker/SiteKey.h"

#include <cstring>

#include "blocker/TextCompare.h"

namespace quell {
namespace {

// Removes every case-insensitive occurrence of "<scheme>://" in one left-to-right pass, as a
// text replace does: what a removal joins together is not searched again. The scan jumps
// from colon to colon, so an address costs about one memchr.
void RemoveSchemeInPlace(std::string& s, const char* scheme, std::size_t schemeLength) {
    const std::size_t patternLength = schemeLength + 3;
    std::size_t read = 0;   // first byte not yet copied
    std::size_t write = 0;  // end of the kept text
    std::size_t searchFrom = schemeLength;
    char* data = s.data();
    while (searchFrom < s.size()) {
        const void* hit = std::memchr(data + searchFrom, ':', s.size() - searchFrom);
        if (hit == nullptr) {
            break;
        }
        const std::size_t colon = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
        const std::size_t start = colon - schemeLength;
        if (start >= read && colon + 2 < s.size() && data[colon + 1] == '/' &&
            data[colon + 2] == '/' &&
            StartsWithIgnoreAsciiCase({data + start, schemeLength}, {scheme, schemeLength})) {
            std::memmove(data + write, data + read, start - read);
            write += start - read;
            read = start + patternLength;
            searchFrom = read + schemeLength;
        } else {
            searchFrom = colon + 1;
        }
    }
    std::memmove(data + write, data + read, s.size() - read);
    s.resize(write + s.size() - read);
}

}  // namespace

std::string SiteKey(std::string_view locationUrl) {
    std::string key(locationUrl);
    RemoveSchemeInPlace(key, "http", 4);
    RemoveSchemeInPlace(key, "https", 5);
    // Keep the text up to the first "/"; that "/" and every later one go with the rest.
    const std::size_t slash = key.find('/');
    if (slash != std::string::npos) {
        key.resize(slash);
    }
    return key;
}

}  // namespace quell
