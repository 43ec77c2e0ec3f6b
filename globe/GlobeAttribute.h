#pragma once

#include "globe/GlobePersistent.h"

#include <cstdint>

namespace wl {

class ObjectLayer;
struct RenderContext;

// A pen, brush or font shared by the objects of one layer that draw alike. Its position in
// the layer's attribute list is its identity in layer files.
class GlobeAttribute : public GlobePersistent
{
public:
    explicit GlobeAttribute(ObjectLayer& layer) : m_layer(&layer) {}

    ObjectLayer& layer() const { return *m_layer; }
    bool used = false; // bookkeeping while a layer is saved

    // Sets the surface's pen, brush or font for an object in the given state.
    virtual void apply(RenderContext& ctx, std::uint8_t objectState) const = 0;
    // An equal attribute in another layer, found or created there.
    virtual GlobeAttribute& cloneTo(ObjectLayer& layer) const = 0;
    virtual void resetCache(RenderContext&) const {}
    // Removes this attribute from its layer and frees it.
    void discard();

private:
    ObjectLayer* m_layer;
};

} // namespace wl
