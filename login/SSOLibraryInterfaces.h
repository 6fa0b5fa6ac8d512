#pragma once

// The single-sign-on library's COM objects as the launcher calls them. Every method sits at a
// fixed slot of its interface (0-2 are IUnknown); the slots between the ones in use are held by
// placeholders that the library answers with E_NOTIMPL. A slot marked "library side" is used only
// by the library itself and the tests, never by the launcher.
//
// All data crosses as named fields of field containers. Texts are BSTRs: the caller keeps what it
// passes in, the receiver frees what it gets out (SysFreeString). Interface pointers handed out
// are AddRef'd for the caller.

#include <windows.h>
#include <oaidl.h>

// {0923ED07-92B5-430C-8EEC-1443B2EF914E}: the library's class, served by DllGetClassObject.
inline constexpr CLSID CLSID_SSOLibrary = {0x0923ed07, 0x92b5, 0x430c, {0x8e, 0xec, 0x14, 0x43, 0xb2, 0xef, 0x91, 0x4e}};
inline constexpr IID IID_ISSOMain = {0x95e3275c, 0x9dee, 0x4e91, {0xbe, 0x9a, 0x2a, 0xf7, 0xbd, 0xa8, 0x8e, 0xe5}};
inline constexpr IID IID_ISSOLogin = {0x0d2283ba, 0xc271, 0x4c2d, {0xbb, 0x62, 0xb2, 0x82, 0x4c, 0x75, 0x91, 0xa6}};
inline constexpr IID IID_ISSOService = {0x4b8b805e, 0xff91, 0x4785, {0xbe, 0xdd, 0xbe, 0xb5, 0xf4, 0x8d, 0xdc, 0x9d}};
inline constexpr IID IID_ISSOFieldContainer = {0xdf6cc099, 0x15c4, 0x40da, {0x95, 0x09, 0xcb, 0x5f, 0x9b, 0x9f, 0x71, 0x18}};
inline constexpr IID IID_ISSOList = {0x7cf46880, 0x6d13, 0x4d3c, {0x98, 0xc5, 0xc5, 0xa4, 0xb0, 0x4f, 0x27, 0x50}};
inline constexpr IID IID_ISSOByteBuffer = {0xf47993f3, 0x5a1e, 0x4892, {0xb5, 0x1b, 0x53, 0xe5, 0xe2, 0xac, 0x9e, 0x28}};

// The library's file, under "<SSO dir>Bin\".
inline constexpr wchar_t kSSOLibraryFileName[] = L"Tessaly.dll";

// Messages the library posts to the event window, and the copy-data codes of its answers.
inline constexpr UINT kSSOMsgAccountListChanged = 3004;
inline constexpr UINT kSSOMsgServiceTicketRenew = 3008;   // wParam service id, lParam account number
inline constexpr ULONG_PTR kSSOCopyGetSTResult = 6528;
inline constexpr ULONG_PTR kSSOCopyLoginCheckPic = 6529;
inline constexpr ULONG_PTR kSSOCopyIgnored[] = {6530, 6532, 6534};

// A placeholder slot.
#define SSO_SLOT(n) virtual HRESULT STDMETHODCALLTYPE Slot##n() = 0;

struct ISSOByteBuffer;
struct ISSOFieldContainer;
struct ISSOList;
struct ISSOLogin;
struct ISSOService;

struct ISSOByteBuffer : IUnknown {
    SSO_SLOT(3) SSO_SLOT(4) SSO_SLOT(5) SSO_SLOT(6) SSO_SLOT(7) SSO_SLOT(8) SSO_SLOT(9) SSO_SLOT(10) SSO_SLOT(11)
    // 12: the bytes, valid while the buffer lives and is unchanged.
    virtual HRESULT STDMETHODCALLTYPE GetData(const BYTE** data) = 0;
    // 13
    virtual HRESULT STDMETHODCALLTYPE GetSize(DWORD* size) = 0;
    // 14: copies the bytes in.
    virtual HRESULT STDMETHODCALLTYPE SetData(const BYTE* data, DWORD length) = 0;
    SSO_SLOT(15) SSO_SLOT(16) SSO_SLOT(17) SSO_SLOT(18) SSO_SLOT(19)
    // 20: copies the bytes of a received message in; flags 0.
    virtual HRESULT STDMETHODCALLTYPE TakeMessageBytes(const BYTE* data, DWORD length, DWORD flags) = 0;
};

// Getters fail (and leave the out value alone) when the field is absent or of another type.
struct ISSOFieldContainer : IUnknown {
    SSO_SLOT(3) SSO_SLOT(4) SSO_SLOT(5) SSO_SLOT(6)
    virtual HRESULT STDMETHODCALLTYPE GetBool(BSTR name, BOOL* value) = 0;             // 7
    virtual HRESULT STDMETHODCALLTYPE GetByte(BSTR name, BYTE* value) = 0;             // 8
    SSO_SLOT(9)
    virtual HRESULT STDMETHODCALLTYPE GetWord(BSTR name, WORD* value) = 0;             // 10
    SSO_SLOT(11)
    virtual HRESULT STDMETHODCALLTYPE GetDWord(BSTR name, DWORD* value) = 0;           // 12
    virtual HRESULT STDMETHODCALLTYPE GetInt(BSTR name, LONG* value) = 0;              // 13
    virtual HRESULT STDMETHODCALLTYPE GetString(BSTR name, BSTR* value) = 0;           // 14
    virtual HRESULT STDMETHODCALLTYPE GetBuffer(BSTR name, ISSOByteBuffer** value) = 0; // 15
    SSO_SLOT(16) SSO_SLOT(17) SSO_SLOT(18) SSO_SLOT(19) SSO_SLOT(20) SSO_SLOT(21) SSO_SLOT(22)
    SSO_SLOT(23) SSO_SLOT(24) SSO_SLOT(25) SSO_SLOT(26) SSO_SLOT(27) SSO_SLOT(28)
    virtual HRESULT STDMETHODCALLTYPE SetBool(BSTR name, BOOL value) = 0;              // 29
    virtual HRESULT STDMETHODCALLTYPE SetByte(BSTR name, BYTE value) = 0;              // 30
    SSO_SLOT(31)
    virtual HRESULT STDMETHODCALLTYPE SetWord(BSTR name, WORD value) = 0;              // 32
    SSO_SLOT(33)
    virtual HRESULT STDMETHODCALLTYPE SetDWord(BSTR name, DWORD value) = 0;            // 34
    virtual HRESULT STDMETHODCALLTYPE SetInt(BSTR name, LONG value) = 0;               // 35, library side
    virtual HRESULT STDMETHODCALLTYPE SetString(BSTR name, BSTR value) = 0;            // 36
    // 37: stores a copy of the buffer's bytes.
    virtual HRESULT STDMETHODCALLTYPE SetBuffer(BSTR name, ISSOByteBuffer* value) = 0;
    SSO_SLOT(38) SSO_SLOT(39)
    // 40: stores a copy of the container.
    virtual HRESULT STDMETHODCALLTYPE SetContainer(BSTR name, ISSOFieldContainer* value) = 0;
    SSO_SLOT(41) SSO_SLOT(42) SSO_SLOT(43) SSO_SLOT(44)
    // 45: replaces every field with the serialised container in the buffer; fails, changing
    // nothing, when the bytes are not a whole, intact serialised container.
    virtual HRESULT STDMETHODCALLTYPE LoadFromBuffer(ISSOByteBuffer* buffer) = 0;
    // 46, library side: serialises the container into the buffer.
    virtual HRESULT STDMETHODCALLTYPE SaveToBuffer(ISSOByteBuffer* buffer) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetContainer(BSTR name, ISSOFieldContainer** value) = 0; // 47
    virtual HRESULT STDMETHODCALLTYPE GetList(BSTR name, ISSOList** value) = 0;        // 48
};

// A list of field containers, or of texts (a field's value list).
struct ISSOList : IUnknown {
    SSO_SLOT(3) SSO_SLOT(4) SSO_SLOT(5) SSO_SLOT(6) SSO_SLOT(7) SSO_SLOT(8) SSO_SLOT(9) SSO_SLOT(10)
    SSO_SLOT(11) SSO_SLOT(12) SSO_SLOT(13)
    virtual HRESULT STDMETHODCALLTYPE GetText(DWORD index, BSTR* text) = 0;            // 14
    SSO_SLOT(15) SSO_SLOT(16) SSO_SLOT(17) SSO_SLOT(18) SSO_SLOT(19) SSO_SLOT(20) SSO_SLOT(21)
    virtual HRESULT STDMETHODCALLTYPE GetCount(DWORD* count) = 0;                      // 22
    SSO_SLOT(23) SSO_SLOT(24) SSO_SLOT(25) SSO_SLOT(26) SSO_SLOT(27) SSO_SLOT(28) SSO_SLOT(29)
    SSO_SLOT(30) SSO_SLOT(31) SSO_SLOT(32) SSO_SLOT(33) SSO_SLOT(34) SSO_SLOT(35) SSO_SLOT(36)
    SSO_SLOT(37) SSO_SLOT(38) SSO_SLOT(39) SSO_SLOT(40) SSO_SLOT(41) SSO_SLOT(42) SSO_SLOT(43)
    SSO_SLOT(44) SSO_SLOT(45) SSO_SLOT(46) SSO_SLOT(47) SSO_SLOT(48) SSO_SLOT(49) SSO_SLOT(50)
    SSO_SLOT(51) SSO_SLOT(52)
    // 53: index == count appends; the list keeps a reference to the item.
    virtual HRESULT STDMETHODCALLTYPE Insert(DWORD index, ISSOFieldContainer* item) = 0;
    SSO_SLOT(54) SSO_SLOT(55) SSO_SLOT(56) SSO_SLOT(57) SSO_SLOT(58) SSO_SLOT(59)
    virtual HRESULT STDMETHODCALLTYPE RemoveAt(DWORD index) = 0;                       // 60
    SSO_SLOT(61)
    virtual HRESULT STDMETHODCALLTYPE GetItem(DWORD index, ISSOFieldContainer** item) = 0; // 62
};

struct ISSOService : IUnknown {
    SSO_SLOT(3) SSO_SLOT(4) SSO_SLOT(5) SSO_SLOT(6) SSO_SLOT(7) SSO_SLOT(8) SSO_SLOT(9) SSO_SLOT(10)
    SSO_SLOT(11) SSO_SLOT(12) SSO_SLOT(13) SSO_SLOT(14) SSO_SLOT(15) SSO_SLOT(16) SSO_SLOT(17)
    // 18: the service's account store (kind 3).
    virtual HRESULT STDMETHODCALLTYPE GetAccountStore(DWORD kind, DWORD serviceId, ISSOList** store) = 0;
    SSO_SLOT(19)
    // 20: replaces the service's account store (kind 3).
    virtual HRESULT STDMETHODCALLTYPE SetAccountStore(DWORD kind, DWORD serviceId, ISSOList* store) = 0;
    SSO_SLOT(21) SSO_SLOT(22) SSO_SLOT(23)
    // 24 / 25: the service's settings container (kind 2), holding "dwServiceTGTPriority".
    virtual HRESULT STDMETHODCALLTYPE SetServiceData(DWORD kind, DWORD serviceId, ISSOFieldContainer* data) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetServiceData(DWORD kind, DWORD serviceId, ISSOFieldContainer** data) = 0;
};

struct ISSOLogin : IUnknown {
    SSO_SLOT(3) SSO_SLOT(4) SSO_SLOT(5) SSO_SLOT(6) SSO_SLOT(7)
    // 8: starts a login; the answer comes later as copy-data 6528 or 6529.
    virtual HRESULT STDMETHODCALLTYPE Login(DWORD appHandle, BSTR accessKey, DWORD serviceId, BSTR account,
                                            BYTE credentialType, ISSOByteBuffer* credential,
                                            ISSOFieldContainer* extra) = 0;
    // 9
    virtual HRESULT STDMETHODCALLTYPE CancelVerify(DWORD appHandle, BSTR accessKey, DWORD serviceId, BSTR account) = 0;
    SSO_SLOT(10)
    // 11: answers a verification request of the account (low 32 bits of its number); without a
    // container it asks for a new verification page.
    virtual HRESULT STDMETHODCALLTYPE Verify(DWORD appHandle, BSTR accessKey, DWORD accountNumber, DWORD reserved,
                                             ISSOFieldContainer* data) = 0;
    SSO_SLOT(12) SSO_SLOT(13) SSO_SLOT(14) SSO_SLOT(15)
    virtual HRESULT STDMETHODCALLTYPE GetService(DWORD appHandle, BSTR accessKey, ISSOService** service) = 0; // 16
};

struct ISSOMain : IUnknown {
    SSO_SLOT(3) SSO_SLOT(4) SSO_SLOT(5) SSO_SLOT(6) SSO_SLOT(7)
    virtual HRESULT STDMETHODCALLTYPE Startup(DWORD reserved1, DWORD reserved2) = 0;   // 8, must give 0
    virtual HRESULT STDMETHODCALLTYPE Shutdown() = 0;                                  // 9
    // 10: the accounts signed in on this machine.
    virtual HRESULT STDMETHODCALLTYPE GetAccountList(DWORD appHandle, BSTR accessKey, ISSOList** list) = 0;
    SSO_SLOT(11) SSO_SLOT(12)
    // 13: registers the program; the answers go to eventWindow.
    virtual HRESULT STDMETHODCALLTYPE Initialize(DWORD processId, BSTR programName, HWND eventWindow, DWORD flags,
                                                 ISSOFieldContainer* versions, ISSOFieldContainer** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Detach(DWORD appHandle, BSTR accessKey) = 0;     // 14
    virtual HRESULT STDMETHODCALLTYPE GetLogin(DWORD appHandle, BSTR accessKey, ISSOLogin** login) = 0; // 15
    SSO_SLOT(16) SSO_SLOT(17)
    virtual HRESULT STDMETHODCALLTYPE CreateContainer(ISSOFieldContainer** container) = 0; // 18
    virtual HRESULT STDMETHODCALLTYPE CreateBuffer(ISSOByteBuffer** buffer) = 0;       // 19
    virtual HRESULT STDMETHODCALLTYPE CreateList(ISSOList** list) = 0;                 // 20
};

#undef SSO_SLOT
