#pragma once
// Event sources of every control. A CUIDelegate is one callback; a CUIDelegateList owns an
// ordered list of them and fires them in order until one returns false.
#include <utility>

#include "uitoolkit/core/UIPtrArray.h"

namespace SkinUI {

class CUIDelegate {
public:
    virtual ~CUIDelegate() = default;
    // False stops the firing.
    virtual bool Invoke(void* param) = 0;
};

// A delegate over any callable taking the untyped parameter: bool(void*).
template <class F>
class CUIDelegateFn : public CUIDelegate {
public:
    explicit CUIDelegateFn(F fn) : m_fn(std::move(fn)) {}
    bool Invoke(void* param) override { return m_fn(param); }

private:
    F m_fn;
};

// A delegate over a member function bool T::Method(void*).
template <class T>
class CUIDelegateMember : public CUIDelegate {
public:
    CUIDelegateMember(T* object, bool (T::*method)(void*)) : m_object(object), m_method(method) {}
    bool Invoke(void* param) override { return (m_object->*m_method)(param); }

private:
    T* m_object;
    bool (T::*m_method)(void*);
};

template <class F>
CUIDelegate* MakeDelegate(F fn)
{
    return new CUIDelegateFn<F>(std::move(fn));
}

template <class T>
CUIDelegate* MakeDelegate(T* object, bool (T::*method)(void*))
{
    return new CUIDelegateMember<T>(object, method);
}

class CUIDelegateList {
public:
    CUIDelegateList() = default;
    // Deletes every delegate. A firing still running on this list stops at once.
    ~CUIDelegateList();
    CUIDelegateList(const CUIDelegateList&) = delete;
    CUIDelegateList& operator=(const CUIDelegateList&) = delete;

    explicit operator bool() const { return !m_items.IsEmpty(); }
    bool IsEmpty() const { return m_items.IsEmpty(); }
    int GetSize() const { return m_items.GetSize(); }

    // Takes ownership; on failure the delegate is deleted and false returned.
    bool Add(CUIDelegate* delegate);
    CUIDelegateList& operator+=(CUIDelegate* delegate)
    {
        Add(delegate);
        return *this;
    }

    // Invokes the delegates in order; false at the first that returns false, else true. A
    // delegate may add to the list or destroy the list's owner while it runs; the firing then
    // stops and returns false so that the caller stops as well.
    bool Fire(void* param);

private:
    CUIPtrArray m_items;
    bool* m_aliveFlag = nullptr;  // set while Fire runs, cleared by the destructor
};

} // namespace SkinUI
