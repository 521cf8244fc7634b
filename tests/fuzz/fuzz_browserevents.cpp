// Browser window events with arguments built from the input, read by the sink's own code into
// two windows' listeners, time passing between them. Only a Cancel argument where the event puts
// it is ever written, and only as -1 or 0; a request raised both ways is decided at most once
// per pair, and never more often than requests arrive.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "blocker/IE_Class.h"
#include "platform/BrowserEventArguments.h"
#include "tests/support/FakeBrowserAutomation.h"

namespace {

// The fields of VARIANT and DISPPARAMS that the sink reads.
struct Variant {
    std::uint16_t vt = 0;
    std::int16_t* pboolVal = nullptr;
    char16_t* bstrVal = nullptr;
};
struct Params {
    Variant* rgvarg = nullptr;
    unsigned cArgs = 0;
};

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t Word() { return static_cast<std::uint16_t>(Byte() | (Byte() << 8)); }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A BSTR: its byte length before the characters, a NUL after them.
class Bstr {
  public:
    explicit Bstr(Input& input) : storage_(3 + input.Byte() % 40, 0) {
        const std::uint32_t bytes = static_cast<std::uint32_t>((storage_.size() - 3) * 2);
        std::memcpy(storage_.data(), &bytes, sizeof bytes);
        for (std::size_t i = 2; i + 1 < storage_.size(); ++i) {
            storage_[i] = static_cast<char16_t>(input.Word());
        }
    }
    char16_t* get() { return storage_.data() + 2; }

  private:
    std::vector<char16_t> storage_;
};

// What the Windows side does with a BSTR: its length from the prefix, UTF-16 to UTF-8.
std::string Text(const char16_t* text) {
    if (text == nullptr) {
        return {};
    }
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, reinterpret_cast<const char*>(text) - sizeof bytes, sizeof bytes);
    std::string out;
    for (std::uint32_t i = 0; i < bytes / 2; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < bytes / 2 && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            out +=
                {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            out +=
                {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
                 static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
    }
    return out;
}

constexpr std::int32_t kIds[] = {platform::kDispidNewWindow2,
                                 platform::kDispidNewWindow3,
                                 platform::kDispidStatusTextChange,
                                 113,
                                 250,
                                 253,
                                 259};
constexpr std::uint16_t kTypes[] = {platform::kVtByRef | platform::kVtBool,
                                    platform::kVtBool,
                                    platform::kVtBstr,
                                    platform::kVtI4,
                                    platform::kVtByRef | 9,  // ppDisp
                                    platform::kVtByRef | platform::kVtBstr,
                                    0};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input input(data, size);
    quell::BlockerState state;
    std::chrono::steady_clock::time_point now;
    const auto pairs = std::make_shared<quell::NewWindowPairs>([&] { return now; });
    int decisions = 0;
    std::deque<bool> answers;
    const auto decide = [&](platform::WebBrowser&, platform::CancelFlag& cancel,
                            std::string_view) -> std::uint64_t {
        ++decisions;
        if (!answers.empty()) {
            cancel.Set(answers.front());
            answers.pop_front();
        }
        return 0;
    };
    std::shared_ptr<quell::testing::FakeBrowserWindow> windows[2];
    std::shared_ptr<quell::IE_Class> listeners[2];
    for (int i = 0; i < 2; ++i) {
        windows[i] = std::make_shared<quell::testing::FakeBrowserWindow>("http://a.example/");
        listeners[i] = std::make_shared<quell::IE_Class>(state, decide, pairs);
        if (!listeners[i]->IEctl(windows[i])) {
            std::abort();
        }
    }

    int requests = 0;
    while (!input.empty()) {
        const std::uint8_t head = input.Byte();
        const std::int32_t id =
            (head & 0x80) != 0 ? static_cast<std::int32_t>(input.Word()) : kIds[head % 7];
        now += std::chrono::milliseconds(((head >> 3) & 0x7) * 100);
        if ((head & 0x40) != 0) {
            answers.push_back((head & 0x20) != 0);
        }
        const unsigned count = input.Byte() % 7;
        std::vector<Variant> arguments(count);
        std::vector<std::int16_t> bools(count);
        std::vector<Bstr> texts;
        texts.reserve(count);
        for (unsigned i = 0; i < count; ++i) {
            const std::uint8_t kind = input.Byte();
            arguments[i].vt = (kind & 0x80) != 0 ? input.Word() : kTypes[kind % 7];
            bools[i] = static_cast<std::int16_t>(input.Word());
            arguments[i].pboolVal = (kind & 0x40) != 0 ? nullptr : &bools[i];
            if ((kind & 0x20) == 0) {
                arguments[i].bstrVal = texts.emplace_back(input).get();
            }
        }
        const std::vector<Variant> before = arguments;
        const std::vector<std::int16_t> boolsBefore = bools;
        Params params{(input.Byte() & 0x7) == 0 ? nullptr : arguments.data(), count};

        const int decided = decisions;
        platform::DeliverBrowserEvent(id, params, *listeners[head & 1], Text);

        const bool request = id == platform::kDispidNewWindow2 || id == platform::kDispidNewWindow3;
        const unsigned cancelIndex = id == platform::kDispidNewWindow2 ? 0 : 3;
        const bool cancelValid =
            request && params.rgvarg != nullptr &&
            count == (id == platform::kDispidNewWindow2 ? 2u : 5u) &&
            arguments[cancelIndex].vt == (platform::kVtByRef | platform::kVtBool) &&
            arguments[cancelIndex].pboolVal != nullptr;
        requests += cancelValid ? 1 : 0;
        for (unsigned i = 0; i < count; ++i) {
            if (std::memcmp(&arguments[i], &before[i], sizeof(Variant)) != 0) {
                std::abort();  // the sink never changes an argument itself
            }
            if (bools[i] != boolsBefore[i] &&
                (!cancelValid || i != cancelIndex || (bools[i] != -1 && bools[i] != 0))) {
                std::abort();  // written other than through the Cancel slot, or not a VARIANT_BOOL
            }
        }
        if (!cancelValid && decisions != decided) {
            std::abort();  // a request without its Cancel reached the decision
        }
        if (decisions > requests) {
            std::abort();
        }
    }
    return 0;
}
