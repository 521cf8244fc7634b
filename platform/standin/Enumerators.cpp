#include "platform/standin/Enumerators.h"

namespace standin {

void FillVariant(const ComPtr<IDispatch>& item, VARIANT& out) {
    ::VariantInit(&out);
    out.vt = VT_DISPATCH;
    item.copyTo(&out.pdispVal);
}

void FillConnection(const Connection& item, CONNECTDATA& out) {
    item.sink.copyTo(&out.pUnk);
    out.dwCookie = item.cookie;
}

void FillConnectionPoint(const ComPtr<IConnectionPoint>& item, IConnectionPoint*& out) {
    item.copyTo(&out);
}

}  // namespace standin
