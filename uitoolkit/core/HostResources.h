#pragma once
// Resource side of a window host (fonts, images, default attributes, colours, resource parent).
// CWindowHostUI derives from it; the full interface is filled in by its owner.

namespace SkinUI {

class CHostResources {
public:
    CHostResources() = default;
    virtual ~CHostResources() = default;
    CHostResources(const CHostResources&) = delete;
    CHostResources& operator=(const CHostResources&) = delete;
};

} // namespace SkinUI
