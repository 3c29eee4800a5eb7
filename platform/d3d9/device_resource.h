// device_resource.h - what the objects a device creates share: they belong to that device, keep it
// alive while the program holds them, and may be bound to it without that binding keeping it alive.
//
// The program's references are the COM count. While it is above zero the object holds a reference
// on its device (so GetDevice can always answer). The device's bindings (stream sources, indices,
// the declaration) are counted apart: an object the program has released but the device still
// binds lives on until the device unbinds it, at the latest when the device goes. A program may
// therefore release its objects and the device in any order, bound or not, without a leak or a
// dangling pointer. Each object is listed with its device from creation to destruction, so that
// the device can tell its own objects from anything else a program passes it.
//
// Objects a program must release before Reset (DEFAULT-pool resources, explicit render targets and
// depth-stencil surfaces, state blocks) are counted by their device while the program holds them;
// the device's own bindings do not count, as Reset drops them.
//
// d3d9_resource adds the IDirect3DResource9 methods: private data, priority (kept for managed
// resources only; others answer 0, as the priority steers only the managed pool), PreLoad.
#pragma once

#include <d3d9.h>

#include "platform/d3d9/com_object.h"
#include "platform/d3d9/private_data.h"

// What an object of the device's list is, so that a pointer can be checked before it is used.
enum class d3d9_object_kind { vertex_buffer, index_buffer, declaration, texture, surface };

// The device's list of its objects (device_streams.cpp). remember fails only for lack of memory.
bool d3d9_device_remember(IDirect3DDevice9* device, const void* object, d3d9_object_kind kind);
void d3d9_device_forget(IDirect3DDevice9* device, const void* object);

// One more (+1) or one fewer (-1) object that the program holds and must release before Reset.
void d3d9_device_count_reset_blocker(IDirect3DDevice9* device, int change);

template <typename Interface>
class d3d9_device_child : public com_object<Interface> {
public:
    ULONG AddRef() override {
        const ULONG references = com_object<Interface>::AddRef();
        if (references == 1) {  // handed back to the program by a Get* while only bound
            held_ = true;
            device_->AddRef();
            if (blocks_reset_) d3d9_device_count_reset_blocker(device_, +1);
        }
        return references;
    }
    HRESULT GetDevice(IDirect3DDevice9** device) override {
        if (device == nullptr) return D3DERR_INVALIDCALL;
        device_->AddRef();
        *device = device_;
        return D3D_OK;
    }

    // The device's own references. An object that lives inside another (a texture's level)
    // passes them on to its container.
    virtual void bind() { ++bindings_; }
    virtual void unbind() {
        if (--bindings_ == 0 && !held_) delete this;
    }

protected:
    explicit d3d9_device_child(IDirect3DDevice9* device) : device_(device) { device_->AddRef(); }
    ~d3d9_device_child() override { d3d9_device_forget(device_, static_cast<Interface*>(this)); }
    IDirect3DDevice9* device() const { return device_; }

    // Marks the object as one the program must release before Reset.
    void block_reset() {
        if (blocks_reset_) return;
        blocks_reset_ = true;
        if (held_) d3d9_device_count_reset_blocker(device_, +1);
    }

    // The object no longer counts for Reset (a texture's level: its texture counts for it).
    void clear_reset_block() {
        if (blocks_reset_ && held_) d3d9_device_count_reset_blocker(device_, -1);
        blocks_reset_ = false;
    }

    void final_release() override {
        IDirect3DDevice9* device = device_;
        held_ = false;
        if (blocks_reset_) d3d9_device_count_reset_blocker(device, -1);
        if (bindings_ == 0) delete this;
        device->Release();  // may end the device, which then unbinds (and so deletes) this object
    }

private:
    IDirect3DDevice9* device_;
    ULONG bindings_ = 0;
    bool held_ = true;
    bool blocks_reset_ = false;
};

template <typename Interface>
class d3d9_resource : public d3d9_device_child<Interface> {
public:
    HRESULT SetPrivateData(REFGUID guid, const void* data, DWORD size, DWORD flags) override {
        return private_data_.set(guid, data, size, flags);
    }
    HRESULT GetPrivateData(REFGUID guid, void* data, DWORD* size) override {
        return private_data_.get(guid, data, size);
    }
    HRESULT FreePrivateData(REFGUID guid) override { return private_data_.free(guid); }
    DWORD SetPriority(DWORD priority) override {
        const DWORD previous = priority_;
        if (pool_ == D3DPOOL_MANAGED) priority_ = priority;
        return previous;
    }
    DWORD GetPriority() override { return priority_; }
    void PreLoad() override {}  // everything already lives where the device reads it

protected:
    d3d9_resource(IDirect3DDevice9* device, D3DPOOL pool) : d3d9_device_child<Interface>(device), pool_(pool) {
        if (pool == D3DPOOL_DEFAULT) this->block_reset();
    }
    D3DPOOL pool() const { return pool_; }

private:
    D3DPOOL pool_;
    d3d9_private_data private_data_;
    DWORD priority_ = 0;
};
