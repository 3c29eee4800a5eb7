// com_object.h - the reference counting every COM-style object of the platform shares: an object
// starts with one reference, AddRef adds one, and the Release that drops the last deletes it.
// Derived classes keep their destructor private or protected, so only Release deletes them.
#pragma once

#include <windows.h>

template <typename Interface>
class com_object : public Interface {
public:
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG references_ = 1;
};
