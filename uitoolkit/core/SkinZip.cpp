#include "uitoolkit/core/SkinZip.h"

#include "uitoolkit/core/SkinZipArchive.h"

namespace SkinUI {

namespace {
uint32_t g_lastResult = SkinZipOk;

uint32_t Store(uint32_t code) {
    g_lastResult = code;
    return code;
}

// The archive behind a handle, or the code that refuses the handle.
uint32_t CheckHandle(SkinZipHandle* zip) {
    if (zip == nullptr) return SkinZipBadArgument;
    if (zip->kind != SkinZipHandle::kArchiveReader || !zip->archive) return SkinZipNotArchive;
    return SkinZipOk;
}
} // namespace

SkinZipHandle::SkinZipHandle() = default;
SkinZipHandle::~SkinZipHandle() = default;

void SkinZipCloser::operator()(SkinZipHandle* zip) const { CloseSkinZip(zip); }

SkinZipHandle* OpenSkinZip(const void* source, uint32_t length, uint32_t kind) {
    auto zip = std::make_unique<SkinZipHandle>();
    zip->archive = std::make_unique<SkinZipArchive>();
    if (Store(zip->archive->Open(source, length, kind)) != SkinZipOk) return nullptr;
    return zip.release();
}

uint32_t CloseSkinZip(SkinZipHandle* zip) {
    uint32_t err = CheckHandle(zip);
    if (err != SkinZipOk) return Store(err);
    std::unique_ptr<SkinZipHandle> owner(zip);
    return Store(owner->archive->Close());
}

uint32_t FindSkinZipEntry(SkinZipHandle* zip, const wchar_t* name, bool ignoreCase, int* index,
                          SkinZipEntry* entry) {
    uint32_t err = CheckHandle(zip);
    if (err != SkinZipOk) return Store(err);
    return Store(zip->archive->FindItem(name, ignoreCase, index, entry));
}

uint32_t ExtractSkinZipEntry(SkinZipHandle* zip, int index, void* destination, uint32_t length,
                             uint32_t kind) {
    uint32_t err = CheckHandle(zip);
    if (err != SkinZipOk) return Store(err);
    return Store(zip->archive->UnzipItem(index, destination, length, kind));
}

uint32_t SkinZipLastResult() { return g_lastResult; }

} // namespace SkinUI
