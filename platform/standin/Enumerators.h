// IEnumVARIANT, IEnumConnections and IEnumConnectionPoints over a copy of a collection taken
// when the enumerator is made: a window opening or a sink leaving does not disturb a walk.
#pragma once

#include <ocidl.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/standin/ComSupport.h"

namespace standin {

template <class IEnum, class Item, class Stored, void (*Fill)(const Stored&, Item&)>
class SnapshotEnum final : public CountedObject<IEnum> {
  public:
    explicit SnapshotEnum(std::vector<Stored> items, std::size_t position = 0)
        : items_(std::move(items)), position_(position) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Item* out, ULONG* fetched) override {
        if (out == nullptr || (count > 1 && fetched == nullptr)) {
            return E_POINTER;
        }
        ULONG filled = 0;
        for (; filled < count && position_ < items_.size(); ++filled, ++position_) {
            Fill(items_[position_], out[filled]);
        }
        if (fetched != nullptr) {
            *fetched = filled;
        }
        return filled == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
        const std::size_t left = items_.size() - position_;
        if (count > left) {
            position_ = items_.size();
            return S_FALSE;
        }
        position_ += count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() override {
        position_ = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = MakeComObject<SnapshotEnum>(items_, position_).release();
        return S_OK;
    }

  protected:
    void* Find(REFIID iid) override {
        if (iid == IID_IUnknown || iid == __uuidof(IEnum)) {
            return static_cast<IEnum*>(this);
        }
        return nullptr;
    }

  private:
    std::vector<Stored> items_;
    std::size_t position_;
};

struct Connection {
    ComPtr<IUnknown> sink;
    DWORD cookie;
};

void FillVariant(const ComPtr<IDispatch>& item, VARIANT& out);
void FillConnection(const Connection& item, CONNECTDATA& out);
void FillConnectionPoint(const ComPtr<IConnectionPoint>& item, IConnectionPoint*& out);

using DispatchEnum = SnapshotEnum<IEnumVARIANT, VARIANT, ComPtr<IDispatch>, &FillVariant>;
using ConnectionEnum = SnapshotEnum<IEnumConnections, CONNECTDATA, Connection, &FillConnection>;
using ConnectionPointEnum = SnapshotEnum<IEnumConnectionPoints, IConnectionPoint*,
                                         ComPtr<IConnectionPoint>, &FillConnectionPoint>;

}  // namespace standin
