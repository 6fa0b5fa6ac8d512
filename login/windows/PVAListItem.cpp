#include "login/windows/PVAListItem.h"

#include "login/DecimalText.h"
#include "login/windows/DialogBuilderCallbackEx.h"
#include "uitoolkit/core/ControlUI.h"
#include "uitoolkit/core/WindowHostUI.h"

namespace {

// The program's custom controls for the row's skin (the factory is meant to be derived from).
class RowControlFactory final : public CDialogBuilderCallbackEx {};

// A text as a C formatting function writes it into a buffer of `units` (terminator included):
// up to its first zero, and cut to fit.
std::wstring CutToFit(const std::wstring& text, size_t units)
{
    std::wstring cut(text.c_str());
    if (cut.size() >= units)
        cut.resize(units - 1);
    return cut;
}

} // namespace

CPVAListItem::CPVAListItem(SkinUI::CWindowHostUI* host, const PVAAccountRecord& record)
    : m_host(host), m_record(record)
{
}

CPVAListItem::~CPVAListItem() = default;

const wchar_t* CPVAListItem::GetSkinFile() const { return L"PVAListItem.xml"; }

SkinUI::CControlUI* CPVAListItem::Build()
{
    if (m_root)
        return m_root.get();
    // 1. The parsed skin is kept for later builds.
    RowControlFactory factory;
    m_root.reset(m_builder.GetMarkup().IsValid() ? m_builder.Build(&factory, m_host)
                                                 : m_builder.Create(GetSkinFile(), nullptr, &factory, m_host));
    // 2. No skin, no row.
    if (!m_root)
        return nullptr;
    // 3. Shown at the row height; its user tag leads back to this item.
    m_root->SetFixedHeight(kRowHeight);
    m_root->SetVisible(true);
    m_root->SetUserTag(reinterpret_cast<UINT_PTR>(this));
    // 4. The named parts, and the nick name with its account in the row.
    FindControls();
    if (m_nickName != nullptr)
        m_nickName->SetText(FormatNickText(m_record).c_str());
    return m_root.get();
}

void CPVAListItem::FindControls()
{
    m_nickName = FindInRow(L"NickName");
    m_userFace = FindInRow(L"UserFace");
}

SkinUI::CControlUI* CPVAListItem::FindInRow(const wchar_t* name) const
{
    return m_host != nullptr && m_root ? m_host->FindSubControlByName(m_root.get(), name) : nullptr;
}

void CPVAListItem::FormatFaceImageAttr(const wchar_t* faceImage)
{
    if (m_userFace != nullptr)
        m_userFace->SetBkImage(FormatFaceImage(faceImage).c_str());
}

SkinUI::CControlUI* CPVAListItem::ReleaseRoot()
{
    SkinUI::CControlUI* root = m_root.release();
    FindControls();  // without a root every lookup gives null: the controls are forgotten
    return root;
}

std::wstring CPVAListItem::FormatNickText(const PVAAccountRecord& record)
{
    const std::wstring account = record.accountText.c_str();
    const std::wstring inner = !account.empty() ? account : FormatUInt64W(record.accountNumber);
    return CutToFit(std::wstring(record.nickName.c_str()) + L"(" + inner + L")", kNickTextUnits);
}

std::wstring CPVAListItem::FormatFaceImage(const wchar_t* faceImage)
{
    const std::wstring face = faceImage != nullptr ? faceImage : L"";
    return CutToFit(L"file='" + face + L"' source='3,3,19,19' dest='4,4,20,20'", kFaceImageUnits);
}
