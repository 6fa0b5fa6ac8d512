#pragma once
// GDI+ for the lifetime of the object: the layered frame and the login dialog's background need
// it. The entry keeps one in static storage made before the login handler, so that it is shut
// down after the handler has deleted a dialog still open at exit.
#include <windows.h>

class GdiplusSession {
public:
    GdiplusSession();
    ~GdiplusSession();
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    bool Started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};
