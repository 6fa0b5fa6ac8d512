#pragma once
// CPVAListItem: one quick-login row of the login dialog, built from its own skin file
// "PVAListItem.xml" with the program's control factory and filled with the account: "NickName"
// shows the nick name with the account text (or number) in parentheses, "UserFace" the face
// picture. The row is 24 pixels high and its root control carries the row in its user tag, so
// that the dialog finds the account of a list entry.
//
// Ownership: the row owns the root it built until the root is handed over (ReleaseRoot), e.g. to
// the list that shows it; the list then deletes it. A dialog keeps its rows in a map, empties the
// list first and then deletes the rows.
#include <memory>
#include <string>

#include "login/windows/IListItem.h"
#include "login/windows/PVAAccountRecord.h"
#include "uitoolkit/core/DialogBuilder.h"

namespace SkinUI {
class CWindowHostUI;
}

class CPVAListItem : public IListItem {
public:
    static constexpr int kRowHeight = 24;
    // The shown texts are cut to fit these buffers (terminator included).
    static constexpr size_t kNickTextUnits = 80;
    static constexpr size_t kFaceImageUnits = 260;

    // The row is built for `host`, whose fonts and images its controls use.
    CPVAListItem(SkinUI::CWindowHostUI* host, const PVAAccountRecord& record);
    ~CPVAListItem() override;
    CPVAListItem(const CPVAListItem&) = delete;
    CPVAListItem& operator=(const CPVAListItem&) = delete;

    const wchar_t* GetSkinFile() const override;
    // Builds the row once (a later call returns the same root); the skin file is parsed once
    // for the row's lifetime. Null when the skin cannot be read or makes no control.
    SkinUI::CControlUI* Build() override;
    // The face picture: the image string of "UserFace"'s background, when the row has one.
    void FormatFaceImageAttr(const wchar_t* faceImage);
    // Hands the root over: the caller owns it now, and the row forgets it and its controls.
    SkinUI::CControlUI* ReleaseRoot();

    const PVAAccountRecord& GetRecord() const { return m_record; }
    SkinUI::CControlUI* GetRoot() const { return m_root.get(); }
    SkinUI::CControlUI* GetNickName() const { return m_nickName; }
    SkinUI::CControlUI* GetUserFace() const { return m_userFace; }

    // "<nick>(<account text>)", or "<nick>(<account number>)" without account text; cut to fit.
    static std::wstring FormatNickText(const PVAAccountRecord& record);
    // "file='<face>' source='3,3,19,19' dest='4,4,20,20'"; cut to fit.
    static std::wstring FormatFaceImage(const wchar_t* faceImage);

protected:
    // After a build: the named controls of the new root (the extended row adds its own).
    virtual void FindControls();
    // The control of the root's subtree with that name, or null.
    SkinUI::CControlUI* FindInRow(const wchar_t* name) const;

private:
    SkinUI::CWindowHostUI* m_host;
    SkinUI::CDialogBuilder m_builder;
    PVAAccountRecord m_record;
    std::unique_ptr<SkinUI::CControlUI> m_root;
    SkinUI::CControlUI* m_nickName = nullptr;
    SkinUI::CControlUI* m_userFace = nullptr;
};
