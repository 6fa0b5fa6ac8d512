#pragma once
// A fresh folder on the skin search path: pictures, layouts and zip archives written into it are
// found by name as a skin's files are. When it goes, the search path, the resource zip and the
// resource module are reset, so that no test leaves its skin to the next.
//
//   kit::SkinDir skin;                                     // kit::SkinDir first(true): searched first
//   skin.Write(L"red.png", kit::SolidPng(4, 4, 0xFFFF0000));
//   CRenderKit::LoadImage(L"red.png", nullptr, 0);
#include <string>

#include "kit/TempDir.h"

namespace kit {

class SkinDir : public TempDir {
public:
    explicit SkinDir(bool front = false);
    ~SkinDir();

    // Writes a file into the folder; a failed write fails the running test.
    void Write(const std::wstring& name, const std::string& bytes) const;
    // The folder with a trailing backslash, as the loaders that take a directory want it.
    std::wstring Dir() const { return Path() + L"\\"; }
};

} // namespace kit
