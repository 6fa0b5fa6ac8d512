#pragma once
// CEditExWnd: the native edit of the extended edit (CEditExUI). It is the toolkit's native edit
// ("EditWnd" over the system's "Edit") that refuses spaces and commas: typed ones are swallowed,
// and pasted or composed ones are taken out again, the caret kept where the user left it.
#include "uitoolkit/controls/EditWnd.h"

namespace SkinUI {

class CEditExWnd : public CEditWnd {
public:
    CEditExWnd() = default;

    LRESULT ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Whether the field refuses the character.
    static bool IsRefused(wchar_t ch) { return ch == L' ' || ch == L','; }

protected:
    ~CEditExWnd() override = default;  // only its final message deletes it

private:
    // Takes refused characters out of the window text, keeping the selection on the same
    // characters; true when the text changed.
    bool StripRefused();

    bool m_stripping = false;  // the change made by StripRefused is not reported on its own
};

} // namespace SkinUI
