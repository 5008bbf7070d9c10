#pragma once
// COM on this thread for a scope, and an owning interface pointer.
#include <objbase.h>

#include <utility>

namespace win32 {

class ComApartment {
  public:
    ComApartment() : ok_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (ok_)
            CoUninitialize();
    }
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;

  private:
    bool ok_;
};

template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr &) = delete;
    ComPtr &operator=(const ComPtr &) = delete;
    ComPtr(ComPtr &&other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr &operator=(ComPtr &&other) noexcept {
        if (this != &other) {
            Reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    T *Get() const { return p_; }
    T *operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    T **Receive() {
        Reset();
        return &p_;
    }
    void **ReceiveVoid() { return reinterpret_cast<void **>(Receive()); }
    void Reset() {
        if (p_)
            std::exchange(p_, nullptr)->Release();
    }

    template <typename U> HRESULT As(ComPtr<U> &out) const {
        return p_->QueryInterface(__uuidof(U), out.ReceiveVoid());
    }

  private:
    T *p_ = nullptr;
};

} // namespace win32
