#include "platform/standin/Automation.h"

#include <exdisp.h>

namespace standin {
namespace {

// The browser's type library: the registered one, else the file that carries it.
ComPtr<ITypeLib> LoadBrowserTypeLib() {
    ComPtr<ITypeLib> library;
    if (SUCCEEDED(::LoadRegTypeLib(LIBID_SHDocVw, 1, 1, LANG_NEUTRAL, library.put()))) {
        return library;
    }
    for (const wchar_t* file : {L"ieframe.dll", L"shdocvw.dll"}) {
        if (SUCCEEDED(::LoadTypeLibEx(file, REGKIND_NONE, library.put()))) {
            return library;
        }
    }
    return {};
}

}  // namespace

bool DualDispatch::Load() {
    if (tried_) {
        return static_cast<bool>(interfaceInfo_);
    }
    tried_ = true;
    const ComPtr<ITypeLib> library = LoadBrowserTypeLib();
    if (!library || FAILED(library->GetTypeInfoOfGuid(dual_, dispatchInfo_.put()))) {
        return false;
    }
    interfaceInfo_ = dispatchInfo_;
    HREFTYPE vtable = 0;
    ComPtr<ITypeInfo> vtableInfo;
    if (SUCCEEDED(dispatchInfo_->GetRefTypeOfImplType(-1, &vtable)) &&
        SUCCEEDED(dispatchInfo_->GetRefTypeInfo(vtable, vtableInfo.put()))) {
        interfaceInfo_ = vtableInfo;
    }
    return true;
}

UINT DualDispatch::TypeInfoCount() {
    return Load() ? 1 : 0;
}

HRESULT DualDispatch::GetTypeInfo(UINT index, ITypeInfo** info) {
    if (info == nullptr) {
        return E_POINTER;
    }
    *info = nullptr;
    if (index != 0) {
        return DISP_E_BADINDEX;
    }
    if (!Load()) {
        return TYPE_E_CANTLOADLIBRARY;
    }
    dispatchInfo_.copyTo(info);
    return S_OK;
}

HRESULT DualDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, DISPID* ids) {
    if (iid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (!Load()) {
        for (UINT i = 0; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
        }
        return DISP_E_UNKNOWNNAME;
    }
    return ::DispGetIDsOfNames(interfaceInfo_.get(), names, count, ids);
}

HRESULT DualDispatch::Invoke(void* object, DISPID id, REFIID iid, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO* exception, UINT* badArgument) {
    if (iid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (!Load()) {
        return DISP_E_MEMBERNOTFOUND;
    }
    return ::DispInvoke(object, interfaceInfo_.get(), id, flags, params, result, exception,
                        badArgument);
}

}  // namespace standin
