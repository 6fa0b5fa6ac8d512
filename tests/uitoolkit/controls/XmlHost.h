#pragma once
// A real window whose tree is built from an XML skin by the dialog builder, with a notification
// recorder attached: the fixture of the container, scroll-bar and layout tests.
//
//   XmlHost h;
//   ASSERT_TRUE(h.Open(L"<Window><Container name=\"c\"/></Window>", 200, 100));
//   auto* c = h.Find<CContainerUI>(L"c");
#include <string>

#include <gtest/gtest.h>

#include "kit/HostWindow.h"
#include "kit/NotifyRecorder.h"
#include "kit/Pump.h"
#include "kit/Text.h"
#include "uitoolkit/core/DialogBuilder.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace xml_host {

struct XmlHost {
    kit::HostWindow win;
    kit::NotifyRecorder rec;
    SkinUI::CControlUI* root = nullptr;

    // Builds the skin into the window's host, attaches it and lays it out; what the first paint
    // notified is cleared.
    bool Open(const wchar_t* xml, int width, int height, SkinUI::IDialogBuilderCallback* callback = nullptr)
    {
        if (!win.Open(nullptr, width, height))
            return false;
        SkinUI::CDialogBuilder builder;
        root = builder.Create(xml, nullptr, callback, win.Host());
        if (root == nullptr || !win.Host()->AttachRoot(root))
            return false;
        win.Host()->AddNotifyListener(&rec);
        const bool ok = win.Layout();
        rec.Clear();
        return ok;
    }
    SkinUI::CWindowHostUI* Host() const { return win.Host(); }
    template <class T = SkinUI::CControlUI>
    T* Find(const wchar_t* name) const
    {
        return static_cast<T*>(win.Host()->FindControlByName(name));
    }
    // The control's rectangle as "l,t,r,b".
    std::string Pos(const wchar_t* name) const
    {
        const SkinUI::CControlUI* control = Find(name);
        return control != nullptr ? kit::Text(control->GetPos()) : "missing";
    }
};

} // namespace xml_host
