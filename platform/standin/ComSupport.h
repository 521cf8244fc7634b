// What the stand-in's COM objects share: a count of the live ones, so that the program can
// tell at exit whether every reference was given back; owned BSTRs; event arguments.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <string>
#include <string_view>

#include "platform/win32/ComObject.h"
#include "platform/win32/Handles.h"

namespace standin {

using platform::win32::ComPtr;
using platform::win32::MakeComObject;
using platform::win32::UniqueBstr;

UniqueBstr MakeBstr(std::wstring_view text);
std::wstring FromBstr(BSTR text);  // a null BSTR is the empty string

// Event arguments. None owns what it points to: the raiser keeps the values alive for the call.
VARIANT LongArg(LONG value);
VARIANT TextArg(BSTR text);
VARIANT DispatchArg(IDispatch* object);
VARIANT BoolRef(VARIANT_BOOL* value);
VARIANT DispatchRef(IDispatch** object);
VARIANT VariantRef(VARIANT* value);

// Objects created and not yet destroyed, over the whole process.
long LiveObjects();

class LiveCount {
  public:
    LiveCount();
    ~LiveCount();
    LiveCount(const LiveCount&) = delete;
    LiveCount& operator=(const LiveCount&) = delete;
};

// A COM object of the stand-in: counted in LiveObjects while it exists.
template <class... Interfaces>
class CountedObject : public platform::win32::ComObject<Interfaces...> {
  private:
    LiveCount counted_;
};

}  // namespace standin
