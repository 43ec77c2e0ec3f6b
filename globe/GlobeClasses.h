#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wl {

class GlobePersistent;
class ObjectLayer;

// The classes layer files can hold, by the names their blocks carry.
class GlobeClasses
{
public:
    // Registry order: attribute blocks, then object blocks, are written in this order.
    static const std::vector<std::string>& names();
    static bool isAttribute(std::string_view name);
    // Creates an empty record of the class, appended to the layer's objects or attributes;
    // nullptr for an unknown name.
    static GlobePersistent* create(std::string_view name, ObjectLayer& layer);
};

} // namespace wl
