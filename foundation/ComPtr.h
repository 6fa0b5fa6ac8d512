#pragma once

#include <cstddef>
#include <utility>

// Owner of one COM reference.
//   ComPtr<I> p(raw);          shares raw (AddRef)
//   ComPtr<I>::Adopt(raw)      takes over a reference the caller owned
//   obj->Get(p.GetAddressOf()) releases what p held, then receives an out parameter
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ComPtr(T* p) : p_(p) { AddRef(); }
    ComPtr(const ComPtr& other) : p_(other.p_) { AddRef(); }
    ComPtr(ComPtr&& other) noexcept : p_(other.Detach()) {}
    template <class U>
    ComPtr(const ComPtr<U>& other) : p_(other.Get()) { AddRef(); }
    template <class U>
    ComPtr(ComPtr<U>&& other) noexcept : p_(other.Detach()) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other)
    {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(T* p)
    {
        ComPtr(p).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t)
    {
        Reset();
        return *this;
    }

    static ComPtr Adopt(T* p)
    {
        ComPtr c;
        c.p_ = p;
        return c;
    }

    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    bool operator==(std::nullptr_t) const { return p_ == nullptr; }

    T** GetAddressOf()
    {
        Reset();
        return &p_;
    }
    void Reset()
    {
        if (T* p = p_) {
            p_ = nullptr;
            p->Release();
        }
    }
    T* Detach()
    {
        T* p = p_;
        p_ = nullptr;
        return p;
    }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

private:
    void AddRef()
    {
        if (p_)
            p_->AddRef();
    }

    T* p_ = nullptr;
};
