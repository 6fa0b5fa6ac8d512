#pragma once
// The BSTR holder now lives with the foundation, shared by the toolkit and the sign-in.
#include "foundation/BStr.h"
