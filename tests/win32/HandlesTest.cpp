// The scoped DC guards: what they select is put back when they end.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/Handles.h"

namespace platform::win32 {
namespace {

TEST(SelectedObject, PutsBackWhatItReplacedAndANullObjectChangesNothing) {
    const UniqueDc dc(::CreateCompatibleDC(nullptr));
    const UniqueBitmap bitmap(::CreateCompatibleBitmap(dc.get(), 4, 4));
    const UniqueFont font(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                        DEFAULT_QUALITY, DEFAULT_PITCH, L"Verdana"));
    ASSERT_TRUE(dc && bitmap && font);
    struct Case {
        UINT type;
        HGDIOBJ object;
    };
    for (const Case& c :
         {Case{OBJ_BITMAP, bitmap.get()}, Case{OBJ_FONT, font.get()}, Case{OBJ_FONT, nullptr}}) {
        SCOPED_TRACE(c.type);
        const HGDIOBJ before = ::GetCurrentObject(dc.get(), c.type);
        {
            const SelectedObject selected(dc.get(), c.object);
            EXPECT_EQ(::GetCurrentObject(dc.get(), c.type),
                      c.object != nullptr ? c.object : before);
        }
        EXPECT_EQ(::GetCurrentObject(dc.get(), c.type), before);
    }
}

}  // namespace
}  // namespace platform::win32
