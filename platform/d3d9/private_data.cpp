// private_data.cpp - a resource's private data entries (see private_data.h).
#include "platform/d3d9/private_data.h"

#include <cstring>
#include <new>

d3d9_private_data::~d3d9_private_data() {
    for (entry& e : entries_) {
        if (e.object != nullptr) e.object->Release();
    }
}

HRESULT d3d9_private_data::set(REFGUID guid, const void* data, DWORD size, DWORD flags) {
    if ((flags & ~DWORD(D3DSPD_IUNKNOWN)) != 0) return D3DERR_INVALIDCALL;
    const bool object = (flags & D3DSPD_IUNKNOWN) != 0;
    if ((data == nullptr && size != 0) || (object && (data == nullptr || size != sizeof(IUnknown*)))) {
        return D3DERR_INVALIDCALL;
    }
    entry fresh{guid, {}, nullptr};
    try {
        if (object) {
            std::memcpy(&fresh.object, data, sizeof fresh.object);
        } else {
            fresh.bytes.assign(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size);
        }
        entries_.reserve(entries_.size() + 1);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    if (fresh.object != nullptr) fresh.object->AddRef();
    free(guid);
    entries_.push_back(std::move(fresh));
    return D3D_OK;
}

HRESULT d3d9_private_data::get(REFGUID guid, void* data, DWORD* size) const {
    if (size == nullptr) return D3DERR_INVALIDCALL;
    for (const entry& e : entries_) {
        if (!IsEqualGUID(e.guid, guid)) continue;
        const DWORD needed = e.object != nullptr ? DWORD(sizeof e.object) : DWORD(e.bytes.size());
        if (data == nullptr) {
            *size = needed;
            return D3D_OK;
        }
        if (*size < needed) {
            *size = needed;
            return D3DERR_MOREDATA;
        }
        if (e.object != nullptr) {
            e.object->AddRef();
            std::memcpy(data, &e.object, sizeof e.object);
        } else if (needed != 0) {
            std::memcpy(data, e.bytes.data(), needed);
        }
        *size = needed;
        return D3D_OK;
    }
    return D3DERR_NOTFOUND;
}

HRESULT d3d9_private_data::free(REFGUID guid) {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (!IsEqualGUID(entries_[i].guid, guid)) continue;
        IUnknown* object = entries_[i].object;
        entries_.erase(entries_.begin() + std::ptrdiff_t(i));
        if (object != nullptr) object->Release();  // last: releasing may re-enter this store
        return D3D_OK;
    }
    return D3DERR_NOTFOUND;
}
