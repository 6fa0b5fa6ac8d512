#pragma once
// The skin-built window fixture lives in the test kit (kit/XmlHost.h); this name stays for the
// suites that still include it from here.
#include "kit/XmlHost.h"

namespace xml_host {
using kit::XmlHost;
} // namespace xml_host
