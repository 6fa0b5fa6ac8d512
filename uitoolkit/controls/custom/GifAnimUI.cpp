#include "uitoolkit/controls/custom/GifAnimUI.h"

#include <cwchar>

#include "uitoolkit/controls/custom/GifFrames.h"
#include "uitoolkit/core/HostResources.h"
#include "uitoolkit/core/SkinFileReader.h"

namespace SkinUI {

namespace {

// A GIF's bytes, found its own way (pictures search differently): every search path in turn
// gives the file there, or with a skin zip the entry in the zip there (the cached zip when there
// is one); the last path that holds the name wins, and an entry that cannot be unpacked ends the
// search. When no path gave anything, the name is read as a file path.
SkinFileData FindGifBytes(const wchar_t* name)
{
    SkinFileData found;
    const bool zipped = !CHostResources::GetResourceZip().IsEmpty();
    const CResourcePathList& paths = CHostResources::GetResourcePathList();
    for (int i = 0; i < paths.GetSize(); ++i) {
        SkinFileData data;
        if (zipped) {
            OwnedSkinZip owned;
            bool unpackFailed = false;
            data = ReadSkinZipEntry(OpenResourceZip(paths.GetAt(i), owned), name, &unpackFailed);
            if (unpackFailed)
                break;
        } else {
            CUIString path(paths.GetAt(i));
            path += name;
            data = ReadWholeSkinFile(path.GetData());
        }
        if (data)
            found = std::move(data);  // the earlier path's bytes go
    }
    if (!found)
        found = ReadWholeSkinFile(name);
    return found;
}

} // namespace

CGifAnimUI::CGifAnimUI() : CAnimationUI(kTimerId) {}

CGifAnimUI::~CGifAnimUI() = default;

const wchar_t* CGifAnimUI::GetClass() const { return L"GifAnimUI"; }

void* CGifAnimUI::GetInterface(const wchar_t* name)
{
    if (name != nullptr && std::wcscmp(name, L"GifAnim") == 0)
        return this;
    return CControlUI::GetInterface(name);
}

UINT CGifAnimUI::GetFrameCount() const { return m_frames != nullptr ? m_frames->GetFrameCount() : 0; }

int CGifAnimUI::GetFrameTime(UINT frame) const
{
    return m_frames != nullptr ? static_cast<int>(m_frames->GetFrameDelay(frame)) : 0;
}

void CGifAnimUI::OnAnimImageChanged()
{
    m_frames.reset();
    m_loadPending = true;
}

void CGifAnimUI::Load()
{
    m_loadPending = false;
    m_frames.reset();
    const wchar_t* name = GetAnimImage();
    if (name[0] == L'\0')
        return;
    // 1. The bytes.
    const SkinFileData file = FindGifBytes(name);
    if (!file)
        return;
    // 2. Decoded with its frames and their delays.
    m_frames = CGifFrames::Load(file.data.get(), file.size);
    if (m_frames == nullptr)
        return;
    // 3. The picture's own size.
    if (IsAutoSize()) {
        SetFixedWidth(m_frames->GetWidth());
        SetFixedHeight(m_frames->GetHeight());
    }
    // 4. Playing.
    if (IsAutoPlay())
        Player().Play();
}

void CGifAnimUI::InitControl() { Load(); }

void CGifAnimUI::Paint(HDC hDC, const RECT& rcDirty)
{
    if (!::IntersectRect(&m_rcPaint, &rcDirty, &m_rcItem))
        return;
    if (m_frames == nullptr && m_loadPending)
        Load();
    if (m_frames != nullptr)
        m_frames->Draw(hDC, m_rcItem, m_rcPaint, GetCurrentFrame());
}

} // namespace SkinUI
