#pragma once
// The COM reference holder now lives with the foundation, shared by the toolkit and the sign-in.
#include "foundation/ComPtr.h"
