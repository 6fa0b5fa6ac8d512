#include "uitoolkit/core/UIDelegate.h"

namespace SkinUI {

CUIDelegateList::~CUIDelegateList()
{
    if (m_aliveFlag != nullptr)
        *m_aliveFlag = false;
    for (int i = 0; i < m_items.GetSize(); ++i)
        delete static_cast<CUIDelegate*>(m_items[i]);
}

bool CUIDelegateList::Add(CUIDelegate* delegate)
{
    if (delegate == nullptr)
        return false;
    if (!m_items.Add(delegate)) {
        delete delegate;
        return false;
    }
    return true;
}

bool CUIDelegateList::Fire(void* param)
{
    bool alive = true;
    bool* outer = m_aliveFlag;  // nested firings each keep their own flag
    m_aliveFlag = &alive;
    bool result = true;
    for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* delegate = static_cast<CUIDelegate*>(m_items[i]);
        if (delegate == nullptr)
            continue;
        const bool goOn = delegate->Invoke(param);
        if (!alive) {
            // The list's owner was destroyed by the delegate: touch nothing of it, and tell the
            // caller to stop too.
            if (outer != nullptr)
                *outer = false;
            return false;
        }
        if (!goOn) {
            result = false;
            break;
        }
    }
    m_aliveFlag = outer;
    return result;
}

} // namespace SkinUI
