#include "globe/GlobeAttribute.h"

#include "globe/ObjectLayer.h"

namespace wl {

void GlobeAttribute::discard()
{
    m_layer->discardAttribute(*this);
}

} // namespace wl
