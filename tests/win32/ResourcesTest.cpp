// The built program's icons and pictures, read back the way Windows and the program read
// them, and the data files that must stand beside it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/win32/Handles.h"
#include "platform/win32/Unicode.h"
#include "resources/Form1Design.h"
#include "resources/Form3Design.h"
#include "resources/ProductInfo.h"

namespace platform::win32 {
namespace {

// The program and its data files, as the build places them.
std::wstring BinFile(std::wstring_view name) {
    return Widen(QUELL_BIN_DIR "/") + std::wstring(name);
}

std::optional<std::string> ReadAll(const std::wstring& path) {
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    ::GetFileSizeEx(file.get(), &size);
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
        read != bytes.size()) {
        return std::nullopt;
    }
    return bytes;
}

template <class T>
T At(const std::string& bytes, size_t offset) {
    T value{};
    if (offset + sizeof value <= bytes.size()) {
        std::memcpy(&value, bytes.data() + offset, sizeof value);
    }
    return value;
}

// Every icon the program loads by name: the window designs' icons and button pictures, the
// program icon and the help and about windows' icons.
std::vector<std::string> NamedIcons() {
    std::set<std::string> names{"AAA", "IDI_HELP", "IDI_ABOUT"};
    for (const auto* window : {&quell::design::kForm1Design, &quell::design::kForm3Design}) {
        names.emplace(window->icon);
        for (const auto& control : window->controls) {
            if (!control.picture.empty()) {
                names.emplace(control.picture);
            }
        }
    }
    return {names.begin(), names.end()};
}

class ProgramResources : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        module_ = UniqueModule(
            ::LoadLibraryExW(BinFile(L"QuellPane.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
        program_ = module_.get();
    }
    static void TearDownTestSuite() {
        module_.reset();
        program_ = nullptr;
    }

    static inline UniqueModule module_;
    static inline HMODULE program_ = nullptr;
};

BOOL CALLBACK KeepFirstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR first) {
    *reinterpret_cast<std::wstring*>(first) = IS_INTRESOURCE(name) ? L"#" : name;
    return FALSE;
}

// Explorer shows the first icon group of an executable as its icon.
TEST_F(ProgramResources, ProgramIconIsTheFirstIconGroup) {
    ASSERT_NE(program_, nullptr) << "QuellPane.exe not found in " QUELL_BIN_DIR;
    std::wstring first;
    ::EnumResourceNamesW(program_, RT_GROUP_ICON, KeepFirstName,
                         reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(first, L"AAA");
}

class NamedIcon : public ProgramResources, public ::testing::WithParamInterface<std::string> {
  protected:
    // The sizes the icon group holds as images of their own, with their colour depths.
    std::vector<std::pair<int, int>> GroupEntries() const {
        HRSRC found = ::FindResourceW(program_, Widen(GetParam()).c_str(), RT_GROUP_ICON);
        if (found == nullptr) {
            return {};
        }
        const auto* data =
            static_cast<const char*>(::LockResource(::LoadResource(program_, found)));
        const std::string group(data, ::SizeofResource(program_, found));
        std::vector<std::pair<int, int>> entries;
        constexpr size_t kHeader = 6, kEntry = 14;  // GRPICONDIR, GRPICONDIRENTRY
        for (size_t i = 0; i < At<uint16_t>(group, 4); ++i) {
            const size_t entry = kHeader + i * kEntry;
            const int width = At<uint8_t>(group, entry);
            entries.emplace_back(width == 0 ? 256 : width, At<uint16_t>(group, entry + 6));
        }
        return entries;
    }
};

TEST_P(NamedIcon, HoldsItsOwnImagesAtTheDpiSizesWithAlpha) {
    ASSERT_NE(program_, nullptr);
    const auto entries = GroupEntries();
    ASSERT_FALSE(entries.empty()) << GetParam() << " is not an icon resource";
    for (int size : {16, 24, 32, 48}) {
        EXPECT_NE(std::find(entries.begin(), entries.end(), std::pair{size, 32}), entries.end())
            << GetParam() << " has no 32-bit image of " << size << " px";
    }
    if (GetParam() == "AAA") {
        EXPECT_NE(std::find(entries.begin(), entries.end(), std::pair{256, 32}), entries.end())
            << "Explorer's large views need a 256 px program icon";
    }
}

// Loaded as the builders load them; a picture must have a drawn part and a see-through part.
TEST_P(NamedIcon, LoadsAtSmallSizesWithDrawnAndTransparentPixels) {
    ASSERT_NE(program_, nullptr);
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    for (int size : {16, 24, 32}) {
        SCOPED_TRACE(GetParam() + " at " + std::to_string(size) + " px");
        UniqueIcon icon(static_cast<HICON>(::LoadImageW(program_, Widen(GetParam()).c_str(),
                                                        IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon.get(), &info));
        UniqueBitmap colour(info.hbmColor);
        UniqueBitmap mask(info.hbmMask);
        ASSERT_TRUE(colour);
        BITMAP bitmap{};
        ::GetObjectW(colour.get(), sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        EXPECT_EQ(bitmap.bmHeight, size);

        BITMAPINFO format{};
        format.bmiHeader.biSize = sizeof format.bmiHeader;
        format.bmiHeader.biWidth = size;
        format.bmiHeader.biHeight = -size;
        format.bmiHeader.biPlanes = 1;
        format.bmiHeader.biBitCount = 32;
        format.bmiHeader.biCompression = BI_RGB;
        std::vector<uint32_t> pixels(static_cast<size_t>(size) * size);
        ASSERT_EQ(
            ::GetDIBits(dc.get(), colour.get(), 0, size, pixels.data(), &format, DIB_RGB_COLORS),
            size);
        int clear = 0, solid = 0;
        for (uint32_t pixel : pixels) {
            const uint32_t alpha = pixel >> 24;
            clear += alpha == 0;
            solid += alpha == 255;
        }
        EXPECT_GT(clear, 0) << "no transparent pixel";
        EXPECT_GT(solid, size * size / 4) << "hardly anything drawn";
    }
}

INSTANTIATE_TEST_SUITE_P(Program, NamedIcon, ::testing::ValuesIn(NamedIcons()),
                         [](const auto& param) { return param.param; });

// --- the files beside the program ---------------------------------------------------------

// The text as it appears in pandoc's RTF: backslashes and braces escaped.
std::string Rtf(std::string_view text) {
    std::string out;
    for (const wchar_t c : Widen(text)) {
        if (c >= 0x80) {
            // RTF's \uN with N a signed 16-bit number, then the fallback character pandoc writes.
            out += "\\u" + std::to_string(static_cast<std::int16_t>(c)) + "?";
            continue;
        }
        if (c == L'\\' || c == L'{' || c == L'}') {
            out += '\\';
        }
        out += static_cast<char>(c);
    }
    return out;
}

TEST(DataFiles, HelpDocumentIsRtfAndUsesTheWindowsOwnTexts) {
    const auto help = ReadAll(BinFile(L"Help.rtf"));
    ASSERT_TRUE(help.has_value()) << "Help.rtf is not beside QuellPane.exe";
    EXPECT_EQ(help->rfind("{\\rtf1", 0), 0u);
    EXPECT_GT(help->size(), 4000u);
    EXPECT_LT(help->size(), 200000u);

    std::vector<std::string_view> texts;
    for (const auto& control : quell::design::kForm1Controls) {
        if (control.parent == "Frame2" && control.kind == quell::design::ControlKind::Label) {
            texts.push_back(control.text);  // the six switches
        }
        if (control.name == "Command5" || control.name == "Command6") {
            texts.push_back(control.text);
        }
    }
    for (const auto& control : quell::design::kForm3Controls) {
        if (control.kind == quell::design::ControlKind::Button) {
            texts.push_back(control.text);
        }
    }
    for (const auto& item : quell::design::kForm1MenuItems) {
        texts.push_back(item.caption);
    }
    texts.insert(
        texts.end(),
        {quell::design::kForm3Design.caption, "Show at Startup", "allowed.txt", "disallowed.txt",
         "HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\" QUELL_PRODUCT_NAME
         "\\Settings",
         QUELL_WEBSITE});
    for (std::string_view text : texts) {
        EXPECT_NE(help->find(Rtf(text)), std::string::npos) << "the help never says: " << text;
    }
}

TEST(DataFiles, ToolbarIconsLoadFromFileAtTheBrowsersSizes) {
    std::string normal, hot;
    for (auto [name, bytes] : {std::pair{L"icon.ico", &normal}, std::pair{L"hoticon.ico", &hot}}) {
        const std::wstring path = BinFile(name);
        SCOPED_TRACE(Narrow(path));
        auto file = ReadAll(path);
        ASSERT_TRUE(file.has_value());
        *bytes = *file;
        EXPECT_EQ(At<uint16_t>(*bytes, 0), 0);
        EXPECT_EQ(At<uint16_t>(*bytes, 2), 1);  // an icon, not a cursor
        EXPECT_LT(bytes->size(), 100000u);
        for (int size : {16, 20}) {
            UniqueIcon icon(static_cast<HICON>(
                ::LoadImageW(nullptr, path.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE)));
            EXPECT_TRUE(icon) << size << " px";
        }
    }
    EXPECT_NE(normal, hot) << "the hot icon must be a variant";
}

TEST(DataFiles, PopSoundIsAShortSixteenBitMonoWave) {
    const auto wave = ReadAll(BinFile(L"sounds\\pop.wav"));
    ASSERT_TRUE(wave.has_value()) << "sounds\\pop.wav is not beside QuellPane.exe";
    const std::string& w = *wave;
    ASSERT_EQ(w.substr(0, 4), "RIFF");
    EXPECT_EQ(At<uint32_t>(w, 4) + 8u, w.size());
    ASSERT_EQ(w.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(At<uint16_t>(w, 20), 1);  // PCM
    EXPECT_EQ(At<uint16_t>(w, 22), 1);  // mono
    const uint32_t rate = At<uint32_t>(w, 24);
    EXPECT_TRUE(rate == 22050 || rate == 44100) << rate;
    EXPECT_EQ(At<uint16_t>(w, 34), 16);
    const uint32_t byteRate = At<uint32_t>(w, 28);
    EXPECT_EQ(byteRate, rate * 2);

    // The sample data, after whatever chunks come between.
    size_t chunk = 12 + 8 + At<uint32_t>(w, 16);
    while (chunk + 8 <= w.size() && w.substr(chunk, 4) != "data") {
        chunk += 8 + At<uint32_t>(w, chunk + 4);
    }
    ASSERT_LE(chunk + 8, w.size()) << "no data chunk";
    const double seconds = At<uint32_t>(w, chunk + 4) / static_cast<double>(byteRate);
    EXPECT_GT(seconds, 0.03);
    EXPECT_LT(seconds, 0.15) << "a synchronous play holds the browser this long";
    EXPECT_LT(w.size(), 16000u);
}

}  // namespace
}  // namespace platform::win32
