// com_object.h - the reference counting every COM-style object of the platform shares: an object
// starts with one reference, AddRef adds one, and the Release that drops the last deletes it.
// Derived classes keep their destructor private or protected, so only Release (through
// final_release) deletes them.
//
// QueryInterface answers IUnknown and whatever the derived class accepts in `answers` (its own
// interface and the interfaces that interface derives from), always with the Interface pointer.
#pragma once

#include <unknwn.h>

template <typename Interface>
class com_object : public Interface {
public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualGUID(riid, IID_IUnknown) || answers(riid)) {
            AddRef();
            *object = static_cast<Interface*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) final_release();
        return left;
    }

protected:
    virtual ~com_object() = default;
    virtual bool answers(REFIID /*riid*/) const { return false; }
    // What the Release that drops the last reference does; objects that outlive their program's
    // references (bound to a device) decide here when to go.
    virtual void final_release() { delete this; }

private:
    ULONG references_ = 1;
};
