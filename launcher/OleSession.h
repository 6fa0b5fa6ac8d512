#pragma once
// OLE on the UI thread for the lifetime of the object: the verify window's embedded browser is
// an OLE control. Kept by the entry like the GDI+ session, for the same reason.
class OleSession {
public:
    OleSession();
    ~OleSession();
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

    bool Initialized() const { return initialized_; }

private:
    bool initialized_ = false;
};
