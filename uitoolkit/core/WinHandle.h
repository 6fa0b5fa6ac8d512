#pragma once
// The toolkit's name for the foundation's kernel-handle owner.
#include "foundation/UniqueHandle.h"

namespace SkinUI {

using CWinHandle = mjz::UniqueHandle;

} // namespace SkinUI
