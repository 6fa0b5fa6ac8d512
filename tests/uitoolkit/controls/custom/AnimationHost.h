#pragma once
// A window with one animated control named "a" at 0,0,40,40, built from a skin, GDI+ started
// for its lifetime, and a wait for the animation to reach a frame.
#include <string>

#include "CustomTags.h"
#include "kit/GdiplusSession.h"
#include "kit/Pump.h"
#include "uitoolkit/controls/ButtonsFixture.h"

namespace animation_host {

template <class T>
struct AnimationHost {
    kit::GdiplusSession gdiplus;  // first: it outlives the window and its pictures
    custom_tags::CustomTags tags;
    xml_host::XmlHost h;

    bool Open(const wchar_t* tag, const std::wstring& attributes, int width = 200, int height = 80)
    {
        const std::wstring skin = buttons_fixture::Skin(std::wstring(L"<") + tag +
                                                        L" name=\"a\" float=\"true\" pos=\"0,0,40,40\" " + attributes + L"/>");
        return h.Open(skin.c_str(), width, height, &tags);
    }
    T* Anim() const { return h.Find<T>(L"a"); }
    // Pumps until the animation shows the frame; the tick count then.
    DWORD WaitForFrame(UINT frame)
    {
        kit::PumpUntil([&] { return Anim()->GetCurrentFrame() == frame; }, 2000);
        return ::GetTickCount();
    }
};

} // namespace animation_host
