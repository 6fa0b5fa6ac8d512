#include "kit/XmlHost.h"

#include <cwchar>

#include "kit/Capture.h"
#include "kit/PngWriter.h"
#include "kit/Pump.h"
#include "kit/Text.h"
#include "uitoolkit/controls/ContainerUI.h"
#include "uitoolkit/controls/EditFieldUI.h"
#include "uitoolkit/core/DialogBuilder.h"

namespace kit {

bool XmlHost::Open(const std::wstring& xml, int width, int height, SkinUI::IDialogBuilderCallback* callback)
{
    if (!win.Open(nullptr, width, height))
        return false;
    SkinUI::CDialogBuilder builder;
    root = builder.Create(xml.c_str(), nullptr, callback, win.Host());
    if (root == nullptr || !win.Host()->AttachRoot(root))
        return false;
    win.Host()->AddNotifyListener(&rec);
    const bool ok = win.Layout();
    rec.Clear();
    return ok;
}

std::string XmlHost::Pos(const std::vector<const wchar_t*>& names) const
{
    std::string out;
    for (const wchar_t* name : names) {
        const SkinUI::CControlUI* control = Find(name);
        if (!out.empty())
            out += ' ';
        out += control != nullptr ? Text(control->GetPos()) : std::string("missing");
    }
    return out;
}

uint32_t XmlHost::Pixel(int x, int y) const
{
    return CaptureClient(win.Hwnd())->Pixel(x, y);
}

int XmlHost::CountNear(const RECT& rc, uint32_t rgb) const
{
    auto shot = CaptureClient(win.Hwnd());
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            n += ColorDistance(shot->Pixel(x, y), rgb) < 60 ? 1 : 0;
    return n;
}

Colors XmlHost::Pixels(std::initializer_list<POINT> points) const
{
    return CaptureClient(win.Hwnd())->Pixels(points);
}

HCURSOR XmlHost::CursorAt(int x, int y) const
{
    In().Move(x, y);
    ::SendMessageW(win.Hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(win.Hwnd()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return ::GetCursor();
}

bool XmlHost::Remove(const wchar_t* name, bool atOnce) const
{
    SkinUI::CControlUI* control = Find(name);
    auto* parent = control != nullptr && control->GetParent() != nullptr
                       ? static_cast<SkinUI::CContainerUI*>(control->GetParent()->GetInterface(L"Container"))
                       : nullptr;
    if (parent == nullptr)
        return false;
    if (atOnce)
        parent->SetDelayedDestroy(false);
    return parent->Remove(control);
}

HWND XmlHost::FocusField(const wchar_t* name) const
{
    Find(name)->SetFocus();
    Drain();
    // A listener may have closed the window meanwhile, and the field with it.
    auto* field = win.IsOpen() ? Find<SkinUI::CEditFieldUI>(name) : nullptr;
    return field != nullptr ? field->GetNativeWindow() : nullptr;
}

std::wstring Skin(const std::wstring& controls)
{
    return L"<Window><Container name=\"root\">" + controls + L"</Container></Window>";
}

void Type(HWND hWnd, const std::wstring& text)
{
    for (wchar_t ch : text)
        ::SendMessageW(hWnd, WM_CHAR, ch, 1);
}

std::wstring WindowText(HWND hWnd)
{
    wchar_t buffer[256] = {};
    ::GetWindowTextW(hWnd, buffer, 256);
    return buffer;
}

SolidImageDir::SolidImageDir() : SkinDir(true)
{
    const std::pair<const wchar_t*, uint32_t> images[] = {{L"red.png", kRed},       {L"green.png", kGreen},
                                                          {L"blue.png", kBlue},     {L"yellow.png", kYellow},
                                                          {L"grey.png", kGrey},     {L"cyan.png", kCyan}};
    for (const auto& [name, rgb] : images)
        Write(name, SolidPng(8, 8, 0xFF000000u | rgb));
}

SkinUI::CControlUI* TagTable::CreateControl(const wchar_t* tag)
{
    for (const auto& [name, factory] : m_tags)
        if (std::wcscmp(name, tag) == 0)
            return factory();
    return nullptr;
}

} // namespace kit
