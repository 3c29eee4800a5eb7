// buffer_resource.h - the part vertex and index buffers share: a block of zero-filled bytes with
// the documented Lock/Unlock protocol.
//
// Lock(offset, size): offset = size = 0 locks everything, size 0 locks from the offset to the end;
// a range reaching past the end is refused. Locks nest (each needs its Unlock; an Unlock without a
// Lock is refused). The lock flags are hints to a synchronous device: they are checked, not acted
// on (DISCARD keeps the contents, on any buffer). Drawing from a locked buffer is allowed.
#pragma once

#include "platform/d3d9/device_resource.h"

#include <cstdint>
#include <cstdlib>
#include <memory>

// The longest buffer a device makes (1 GiB); longer ones fail as out of memory.
inline constexpr UINT d3d9_max_buffer_length = 1u << 30;

inline constexpr DWORD d3d9_buffer_usages = D3DUSAGE_WRITEONLY | D3DUSAGE_SOFTWAREPROCESSING | D3DUSAGE_DONOTCLIP |
                                            D3DUSAGE_POINTS | D3DUSAGE_RTPATCHES | D3DUSAGE_NPATCHES | D3DUSAGE_DYNAMIC;

inline constexpr DWORD d3d9_lock_flags = D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK | D3DLOCK_NOOVERWRITE | D3DLOCK_DISCARD |
                                         D3DLOCK_DONOTWAIT | D3DLOCK_NO_DIRTY_UPDATE;

// Whether usage and pool suit a buffer: known usage bits, a known pool, not MANAGED with DYNAMIC.
inline bool d3d9_buffer_usage_valid(DWORD usage, D3DPOOL pool) {
    const int32_t p = int32_t(pool);
    if ((usage & ~d3d9_buffer_usages) != 0 || p < D3DPOOL_DEFAULT || p > D3DPOOL_SCRATCH) return false;
    return !(p == D3DPOOL_MANAGED && (usage & D3DUSAGE_DYNAMIC) != 0);
}

// The out-of-memory answer for a pool: video memory for DEFAULT, system memory otherwise.
inline HRESULT d3d9_out_of_memory(D3DPOOL pool) {
    return pool == D3DPOOL_DEFAULT ? D3DERR_OUTOFVIDEOMEMORY : E_OUTOFMEMORY;
}

template <typename Interface>
class d3d9_buffer : public d3d9_resource<Interface> {
public:
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override {
        if (data == nullptr) return D3DERR_INVALIDCALL;
        *data = nullptr;
        if ((flags & ~d3d9_lock_flags) != 0 || offset > length_ || size > length_ - offset) return D3DERR_INVALIDCALL;
        *data = bytes_.get() + offset;
        ++locks_;
        return D3D_OK;
    }
    HRESULT Unlock() override {
        if (locks_ == 0) return D3DERR_INVALIDCALL;
        --locks_;
        return D3D_OK;
    }
    const uint8_t* bytes() const { return bytes_.get(); }
    bool locked() const { return locks_ != 0; }
    UINT length() const { return length_; }
    DWORD usage() const { return usage_; }
    using d3d9_resource<Interface>::pool;

protected:
    struct free_bytes {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    d3d9_buffer(IDirect3DDevice9* device, DWORD usage, D3DPOOL pool)
        : d3d9_resource<Interface>(device, pool), usage_(usage) {}

    // Zero-filled storage of `length` bytes; false when memory runs out.
    bool allocate(UINT length) {
        bytes_.reset(static_cast<uint8_t*>(std::calloc(length, 1)));
        length_ = bytes_ != nullptr ? length : 0;
        return bytes_ != nullptr;
    }

private:
    std::unique_ptr<uint8_t, free_bytes> bytes_;
    UINT length_ = 0;
    DWORD usage_;
    UINT locks_ = 0;
};
