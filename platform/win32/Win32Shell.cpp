#include "platform/win32/Win32Shell.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include "platform/win32/Handles.h"
#include "platform/win32/Unicode.h"

namespace platform::win32 {
namespace {

// The process-wide skin engine's class and its dual interface. The program never ships the
// component; these only find it where another program installed it.
constexpr CLSID kSkinEngineClass = {
    0x1BE669B7, 0xD464, 0x438A, {0x94, 0xA7, 0x7F, 0xDA, 0x6C, 0x47, 0xBA, 0x47}};
constexpr IID kSkinEngineInterface = {
    0xA4AB5D2E, 0xCEAE, 0x4DD2, {0xB9, 0x9F, 0xC9, 0x50, 0x85, 0x75, 0xAD, 0xC7}};

// The interface is known only by its position: its 6th own method, after IUnknown's three and
// IDispatch's four, stops skinning for the whole process.
constexpr std::size_t kStopMethodSlot = 3 + 4 + 5;

class ComSkinEngine final : public SkinEngine {
  public:
    explicit ComSkinEngine(ComPtr<IUnknown> engine) : engine_(std::move(engine)) {}

    void StopGlobalSkinning() override {
        using StopMethod = HRESULT(STDMETHODCALLTYPE*)(IUnknown*);
        auto* const* vtable = *reinterpret_cast<void* const* const*>(engine_.get());
        (void)reinterpret_cast<StopMethod>(vtable[kStopMethodSlot])(engine_.get());
    }

  private:
    ComPtr<IUnknown> engine_;
};

}  // namespace

void Win32Shell::OpenAddress(const std::string& address) {
    // Shown normally, so the page comes up in front in the default browser.
    ::ShellExecuteW(nullptr, nullptr, Widen(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

OsVersion Win32SkinPlatform::QueryOsVersion() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    // Deprecated for version checks against a minimum; here the reported platform and major
    // version themselves are wanted.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#elif defined(_MSC_VER)
#pragma warning(push)
#pragma warning(disable : 4996)
#endif
    const BOOL ok = ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#elif defined(_MSC_VER)
#pragma warning(pop)
#endif
    return {ok == TRUE, info.dwPlatformId, info.dwMajorVersion};
}

std::unique_ptr<SkinEngine> Win32SkinPlatform::CreateSkinEngine() {
    ComPtr<IUnknown> engine;
    if (FAILED(::CoCreateInstance(kSkinEngineClass, nullptr, CLSCTX_INPROC_SERVER,
                                  kSkinEngineInterface, reinterpret_cast<void**>(engine.put()))) ||
        !engine) {
        return nullptr;
    }
    return std::make_unique<ComSkinEngine>(std::move(engine));
}

}  // namespace platform::win32
