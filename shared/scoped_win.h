// Small owners for Windows resources, so that every path out of a function
// gives them back. Copying is deleted: each one has exactly one owner; moving
// hands the resource on and leaves the source empty.
//
// Every owner has the same methods:
//   Get()      the resource, still owned
//   Receive()  frees what is held, then the address for an API to fill
//   Reset(v)   frees what is held and takes v (default: empty)
//   Detach()   hands the resource to the caller, who must free it
//   explicit operator bool  true when something is held
#pragma once
#include "win.h"
#include <objbase.h>

namespace fw {

// One owner, parameterised by how its kind is freed and what "empty" is.
// Traits: static T Empty(); static bool Held(T); static void Free(T).
template <class T, class Traits>
class ScopedResource {
public:
    ScopedResource() = default;
    explicit ScopedResource(T v) : v_(v) {}
    ~ScopedResource() { Reset(); }
    ScopedResource(const ScopedResource&) = delete;
    ScopedResource& operator=(const ScopedResource&) = delete;
    ScopedResource(ScopedResource&& other) noexcept : v_(other.Detach()) {}
    ScopedResource& operator=(ScopedResource&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    T Get() const { return v_; }
    T* Receive() {
        Reset();
        return &v_;
    }
    void Reset(T v = Traits::Empty()) {
        if (Traits::Held(v_)) Traits::Free(v_);
        v_ = v;
    }
    T Detach() {
        T v = v_;
        v_ = Traits::Empty();
        return v;
    }
    explicit operator bool() const { return Traits::Held(v_); }

protected:
    T v_ = Traits::Empty();
};

namespace scoped_detail {

template <class T>
struct NullIsEmpty {
    static T Empty() { return nullptr; }
    static bool Held(T v) { return v != nullptr; }
};

struct RegKeyTraits : NullIsEmpty<HKEY> {
    static void Free(HKEY k) { RegCloseKey(k); }
};

// Kernel handles come back as null from some APIs (CreateEvent, OpenProcess)
// and INVALID_HANDLE_VALUE from others (CreateFile, CreateToolhelp32Snapshot).
struct HandleTraits {
    static HANDLE Empty() { return nullptr; }
    static bool Held(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Free(HANDLE h) { CloseHandle(h); }
};

struct ModuleTraits : NullIsEmpty<HMODULE> {
    static void Free(HMODULE m) { FreeLibrary(m); }
};

template <class T>
struct ComTraits : NullIsEmpty<T*> {
    static void Free(T* p) { p->Release(); }
};

template <class T>
struct CoMemTraits : NullIsEmpty<T*> {
    static void Free(T* p) { CoTaskMemFree(p); }
};

template <class T>
struct LocalMemTraits : NullIsEmpty<T*> {
    static void Free(T* p) { LocalFree(reinterpret_cast<HLOCAL>(p)); }
};

template <class T>
struct GdiTraits : NullIsEmpty<T> {
    static void Free(T obj) { DeleteObject(reinterpret_cast<HGDIOBJ>(obj)); }
};

}  // namespace scoped_detail

// An open registry key (RegCloseKey).
using ScopedRegKey = ScopedResource<HKEY, scoped_detail::RegKeyTraits>;

// A kernel handle (CloseHandle); null and INVALID_HANDLE_VALUE both count as empty.
using ScopedHandle = ScopedResource<HANDLE, scoped_detail::HandleTraits>;

// A loaded library (FreeLibrary).
using ScopedModule = ScopedResource<HMODULE, scoped_detail::ModuleTraits>;

// A GDI object: HFONT, HBITMAP, HBRUSH, HPEN (DeleteObject). It must not be
// selected into a device context when the owner lets it go.
template <class T>
using ScopedGdiObject = ScopedResource<T, scoped_detail::GdiTraits<T>>;

// Memory from the COM task allocator (CoTaskMemAlloc and the APIs that use it).
template <class T>
using ScopedCoMem = ScopedResource<T*, scoped_detail::CoMemTraits<T>>;

// Memory from LocalAlloc (FormatMessage, ConvertSidToStringSid, ...).
template <class T>
using ScopedLocalMem = ScopedResource<T*, scoped_detail::LocalMemTraits<T>>;

// A COM interface pointer; the reference is released with the owner.
template <class T>
class ScopedCom : public ScopedResource<T*, scoped_detail::ComTraits<T>> {
    using Base = ScopedResource<T*, scoped_detail::ComTraits<T>>;

public:
    using Base::Base;
    T* operator->() const { return this->Get(); }
    // For QueryInterface and the creation APIs, which take void**.
    void** ReceiveVoid() { return reinterpret_cast<void**>(this->Receive()); }
};

// CoInitializeEx for the calling thread, undone on scope exit when it took.
class ScopedCoInit {
public:
    explicit ScopedCoInit(DWORD model = COINIT_APARTMENTTHREADED) : hr_(CoInitializeEx(nullptr, model)) {}
    ~ScopedCoInit() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ScopedCoInit(const ScopedCoInit&) = delete;
    ScopedCoInit& operator=(const ScopedCoInit&) = delete;
    HRESULT Result() const { return hr_; }
    explicit operator bool() const { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

}  // namespace fw
