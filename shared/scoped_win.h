// Small owners for Windows resources, so that every path out of a function
// gives them back. Copying is deleted: each one has exactly one owner.
#pragma once
#include "win.h"
#include <objbase.h>

namespace fw {

// An open registry key.
class ScopedRegKey {
public:
    ScopedRegKey() = default;
    ~ScopedRegKey() { Close(); }
    ScopedRegKey(const ScopedRegKey&) = delete;
    ScopedRegKey& operator=(const ScopedRegKey&) = delete;
    HKEY* Receive() { Close(); return &key_; }
    HKEY Get() const { return key_; }
    void Close() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }

private:
    HKEY key_ = nullptr;
};

// A kernel handle (CloseHandle); null and INVALID_HANDLE_VALUE both count as empty.
class ScopedHandle {
public:
    ScopedHandle() = default;
    explicit ScopedHandle(HANDLE h) : h_(h) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    HANDLE Get() const { return h_; }
    void Reset(HANDLE h = nullptr) {
        if (h_ && h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
        h_ = h;
    }
    explicit operator bool() const { return h_ && h_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE h_ = nullptr;
};

// A COM interface pointer; the reference is released with the owner.
template <class T>
class ScopedCom {
public:
    ScopedCom() = default;
    explicit ScopedCom(T* p) : p_(p) {}
    ~ScopedCom() { Reset(); }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;
    T** Receive() { Reset(); return &p_; }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void Reset() {
        if (p_) p_->Release();
        p_ = nullptr;
    }

private:
    T* p_ = nullptr;
};

// Memory from the COM task allocator (CoTaskMemAlloc and the APIs that use it).
template <class T>
class ScopedCoMem {
public:
    ScopedCoMem() = default;
    ~ScopedCoMem() { CoTaskMemFree(p_); }
    ScopedCoMem(const ScopedCoMem&) = delete;
    ScopedCoMem& operator=(const ScopedCoMem&) = delete;
    T** Receive() { CoTaskMemFree(p_); p_ = nullptr; return &p_; }
    T* Get() const { return p_; }

private:
    T* p_ = nullptr;
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

private:
    HRESULT hr_;
};

}  // namespace fw
