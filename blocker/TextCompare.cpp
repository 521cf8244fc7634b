#include "blocker/TextCompare.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#define QUELL_HAVE_SSE2 1
#endif
// AVX2 is chosen at run time; GCC and Clang can compile it without enabling it globally.
#if defined(QUELL_HAVE_SSE2) && (defined(__GNUC__) || defined(__clang__)) && defined(__x86_64__)
#include <immintrin.h>
#define QUELL_HAVE_AVX2 1
#endif

namespace quell {
namespace {

// Lower-case partner of each two-byte code point (U+0080..U+07FF), itself when none.
constexpr std::array<char16_t, 0x800> MakeTwoByteFold() {
    std::array<char16_t, 0x800> fold{};
    for (char16_t c = 0; c < 0x800; ++c) {
        fold[c] = c;
    }
    auto pairs = [&fold](char16_t first, char16_t last, int parity) {
        for (char16_t c = first; c <= last; ++c) {
            if (c % 2 == parity) {
                fold[c] = static_cast<char16_t>(c + 1);
            }
        }
    };
    for (char16_t c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) {  // multiplication sign
            fold[c] = static_cast<char16_t>(c + 0x20);
        }
    }
    pairs(0x100, 0x12F, 0);  // Latin Extended-A, even capitals
    pairs(0x132, 0x137, 0);
    pairs(0x139, 0x148, 1);  // odd capitals
    pairs(0x14A, 0x177, 0);
    fold[0x178] = 0xFF;  // Y with diaeresis
    pairs(0x179, 0x17E, 1);
    fold[0x386] = 0x3AC;  // Greek with tonos
    for (char16_t c = 0x388; c <= 0x38A; ++c) {
        fold[c] = static_cast<char16_t>(c + 37);
    }
    fold[0x38C] = 0x3CC;
    fold[0x38E] = 0x3CD;
    fold[0x38F] = 0x3CE;
    for (char16_t c = 0x391; c <= 0x3AB; ++c) {
        if (c != 0x3A2) {
            fold[c] = static_cast<char16_t>(c + 32);
        }
    }
    for (char16_t c = 0x400; c <= 0x40F; ++c) {  // Cyrillic
        fold[c] = static_cast<char16_t>(c + 80);
    }
    for (char16_t c = 0x410; c <= 0x42F; ++c) {
        fold[c] = static_cast<char16_t>(c + 32);
    }
    pairs(0x460, 0x481, 0);
    pairs(0x48A, 0x4BF, 0);
    return fold;
}

constexpr auto kTwoByteFold = MakeTwoByteFold();

bool IsContinuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

}  // namespace

void FoldCaseInto(std::string_view text, char* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at once: addresses are nearly all ASCII, and the decision folds one.
        constexpr std::uint64_t kOnes = 0x0101010101010101u;
        std::uint64_t word;
        if (i + 8 <= n && (std::memcpy(&word, p + i, 8), (word & (kOnes * 0x80)) == 0)) {
            // No byte carries into the next: each is below 0x80 before the addition.
            const std::uint64_t fromA = word + kOnes * (0x80 - 'A');
            const std::uint64_t pastZ = word + kOnes * (0x80 - 'Z' - 1);
            word |= ((fromA & ~pastZ) & (kOnes * 0x80)) >> 2;
            std::memcpy(out + i, &word, 8);
            i += 8;
            continue;
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            out[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            ++i;
        } else if ((c & 0xE0) == 0xC0 && c >= 0xC2 && i + 1 < n && IsContinuation(p[i + 1])) {
            const char16_t cp = static_cast<char16_t>(((c & 0x1F) << 6) | (p[i + 1] & 0x3F));
            const char16_t low = kTwoByteFold[cp];
            out[i] = static_cast<char>(0xC0 | (low >> 6));
            out[i + 1] = static_cast<char>(0x80 | (low & 0x3F));
            i += 2;
        } else if (c == 0xEF && i + 2 < n && p[i + 1] == 0xBC && p[i + 2] >= 0xA1 &&
                   p[i + 2] <= 0xBA) {
            // Full-width A..Z (U+FF21..U+FF3A) to a..z (U+FF41..U+FF5A).
            out[i] = static_cast<char>(0xEF);
            out[i + 1] = static_cast<char>(0xBD);
            out[i + 2] = static_cast<char>(p[i + 2] - 0x20);
            i += 3;
        } else {
            out[i] = static_cast<char>(c);
            ++i;
        }
    }
}

void FoldCaseAppend(std::string_view text, std::string& out) {
    const std::size_t old = out.size();
    out.resize(old + text.size());
    FoldCaseInto(text, out.data() + old);
}

std::string FoldCase(std::string_view text) {
    std::string out;
    FoldCaseAppend(text, out);
    return out;
}

namespace {

// Full comparison at a candidate whose first and last bytes already match.
bool MiddleMatches(const char* at, const char* key, std::size_t n) {
    return std::memcmp(at + 1, key + 1, n - 2) == 0;
}

// Positions [from, lastStart] one by one; returns whether the needle starts at one of them.
bool ScalarSearch(const char* hay, std::size_t from, std::size_t lastStart, const char* key,
                  std::size_t n) {
    for (std::size_t i = from; i <= lastStart; ++i) {
        if (hay[i] == key[0] && hay[i + n - 1] == key[n - 1] && MiddleMatches(hay + i, key, n)) {
            return true;
        }
    }
    return false;
}

#ifdef QUELL_HAVE_SSE2
// Compares the needle's first and last bytes at 16 positions at once; only the rare
// positions where both match are compared in full.
bool Sse2Search(const char* hay, std::size_t lastStart, const char* key, std::size_t n) {
    const __m128i first = _mm_set1_epi8(key[0]);
    const __m128i last = _mm_set1_epi8(key[n - 1]);
    std::size_t i = 0;
    for (; i + 16 <= lastStart + 1; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(hay + i + n - 1));
        unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (mask != 0) {
            if (MiddleMatches(hay + i + std::countr_zero(mask), key, n)) {
                return true;
            }
            mask &= mask - 1;
        }
    }
    return ScalarSearch(hay, i, lastStart, key, n);
}
#endif

#ifdef QUELL_HAVE_AVX2
#define QUELL_AVX2 __attribute__((target("avx2")))

QUELL_AVX2 inline __m256i Avx2Hits(const char* at, std::size_t n, __m256i first, __m256i last) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(at + n - 1));
    return _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, last));
}

QUELL_AVX2 inline bool Avx2Check(const char* at, __m256i hits, const char* key, std::size_t n) {
    std::uint32_t mask = static_cast<std::uint32_t>(_mm256_movemask_epi8(hits));
    while (mask != 0) {
        if (MiddleMatches(at + std::countr_zero(mask), key, n)) {
            return true;
        }
        mask &= mask - 1;
    }
    return false;
}

// The same filter 64 positions per step, for processors that have AVX2.
QUELL_AVX2 bool Avx2Search(const char* hay, std::size_t lastStart, const char* key, std::size_t n) {
    const __m256i first = _mm256_set1_epi8(key[0]);
    const __m256i last = _mm256_set1_epi8(key[n - 1]);
    std::size_t i = 0;
    for (; i + 64 <= lastStart + 1; i += 64) {
        const __m256i low = Avx2Hits(hay + i, n, first, last);
        const __m256i high = Avx2Hits(hay + i + 32, n, first, last);
        const __m256i any = _mm256_or_si256(low, high);
        if (_mm256_testz_si256(any, any)) {
            continue;
        }
        if (Avx2Check(hay + i, low, key, n) || Avx2Check(hay + i + 32, high, key, n)) {
            return true;
        }
    }
    return i <= lastStart && Sse2Search(hay + i, lastStart - i, key, n);
}

bool HaveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}
#endif

}  // namespace

bool ContainsFolded(std::string_view haystack, std::string_view needle) {
    const std::size_t n = needle.size();
    const std::size_t size = haystack.size();
    if (size == 0) {
        return false;
    }
    if (n == 0) {
        return true;
    }
    if (n > size) {
        return false;
    }
    const char* hay = haystack.data();
    const char* key = needle.data();
    if (n == 1) {
        return std::memchr(hay, key[0], size) != nullptr;
    }
    const std::size_t lastStart = size - n;  // last position where the needle fits
#ifdef QUELL_HAVE_AVX2
    if (HaveAvx2()) {
        return Avx2Search(hay, lastStart, key, n);
    }
#endif
#ifdef QUELL_HAVE_SSE2
    return Sse2Search(hay, lastStart, key, n);
#else
    return ScalarSearch(hay, 0, lastStart, key, n);
#endif
}

bool ContainsIgnoreCase(std::string_view haystack, std::string_view needle) {
    return ContainsFolded(FoldCase(haystack), FoldCase(needle));
}

bool StartsWithIgnoreAsciiCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + 32);
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace quell
