#pragma once

#include <string>

namespace wl {

class ByteReader;
class ByteWriter;
struct StreamContext;

// Anything a layer file holds a record of: attributes and objects.
class GlobePersistent
{
public:
    virtual ~GlobePersistent() = default;
    GlobePersistent(const GlobePersistent&) = delete;
    GlobePersistent& operator=(const GlobePersistent&) = delete;

    // The class name as layer files store it in their block headers.
    virtual std::string className() const = 0;
    virtual int classVersion() const { return 0; }
    virtual void saveToStream(ByteWriter& out, const StreamContext& ctx) const = 0;
    // Raises GlobeException on a truncated or malformed record.
    virtual void loadFromStream(ByteReader& in, const StreamContext& ctx) = 0;

protected:
    GlobePersistent() = default;
};

} // namespace wl
