#include "platform/standin/ComSupport.h"

#include <atomic>

namespace standin {
namespace {

std::atomic<long> g_liveObjects{0};

VARIANT Typed(VARTYPE type) {
    VARIANT value;
    ::VariantInit(&value);
    value.vt = type;
    return value;
}

}  // namespace

UniqueBstr MakeBstr(std::wstring_view text) {
    return UniqueBstr(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
}

std::wstring FromBstr(BSTR text) {
    return text == nullptr ? std::wstring() : std::wstring(text, ::SysStringLen(text));
}

VARIANT LongArg(LONG value) {
    VARIANT argument = Typed(VT_I4);
    argument.lVal = value;
    return argument;
}

VARIANT TextArg(BSTR text) {
    VARIANT argument = Typed(VT_BSTR);
    argument.bstrVal = text;
    return argument;
}

VARIANT DispatchArg(IDispatch* object) {
    VARIANT argument = Typed(VT_DISPATCH);
    argument.pdispVal = object;
    return argument;
}

VARIANT BoolRef(VARIANT_BOOL* value) {
    VARIANT argument = Typed(VT_BYREF | VT_BOOL);
    argument.pboolVal = value;
    return argument;
}

VARIANT DispatchRef(IDispatch** object) {
    VARIANT argument = Typed(VT_BYREF | VT_DISPATCH);
    argument.ppdispVal = object;
    return argument;
}

VARIANT VariantRef(VARIANT* value) {
    VARIANT argument = Typed(VT_BYREF | VT_VARIANT);
    argument.pvarVal = value;
    return argument;
}

long LiveObjects() {
    return g_liveObjects.load();
}

LiveCount::LiveCount() {
    ++g_liveObjects;
}

LiveCount::~LiveCount() {
    --g_liveObjects;
}

}  // namespace standin
