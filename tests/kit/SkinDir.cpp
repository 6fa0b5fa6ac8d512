#include "SkinDir.h"

#include <gtest/gtest.h>

#include "kit/FileBytes.h"
#include "uitoolkit/core/HostResources.h"

namespace kit {

using SkinUI::CHostResources;

SkinDir::SkinDir(bool front)
{
    CHostResources::AddResourcePath(Path().c_str(), front);
}

SkinDir::~SkinDir()
{
    // The cached zip keeps its file open: let go of it before the folder is removed.
    CHostResources::SetResourceZip(L"", false);
    CHostResources::SetResourceModule(nullptr);
    CHostResources::GetResourcePathList().Clear();
}

void SkinDir::Write(const std::wstring& name, const std::string& bytes) const
{
    EXPECT_TRUE(WriteBytesToFile(File(name), bytes)) << "cannot write " << name;
}

} // namespace kit
