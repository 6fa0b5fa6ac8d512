#pragma once
// IEmbeddedBrowser: the browser window a web-browser control (CWebBrowserUI) owns and places. The
// sign-in windows provide the platform browser's host (CIEWebBrowser) through a factory, which
// keeps the toolkit free of the page-script bridge that lives with them.
#include <windows.h>

#include <memory>

class IEBrowserEventHandler;

class IEmbeddedBrowser {
public:
    virtual ~IEmbeddedBrowser() = default;

    // Set before Create; null stops the reports.
    virtual void SetEventHandler(IEBrowserEventHandler* handler) = 0;
    // Creates the browser window as a child of the parent on the rectangle; null on failure.
    virtual HWND Create(HWND parent, const RECT& rc) = 0;
    virtual HWND GetHWND() const = 0;
    // Nothing without a browser or for a null or empty address.
    virtual void Navigate(const wchar_t* url) = 0;
    // Gives the keyboard focus to the page.
    virtual void FocusBrowserWindow() = 0;
};

// Makes a new browser; an empty pointer when none can be made.
using EmbeddedBrowserFactory = std::shared_ptr<IEmbeddedBrowser> (*)();
