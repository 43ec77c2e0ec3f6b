#pragma once

#include "globe/DrawStyle.h"
#include "globe/ScreenPoint.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace wl {

class GlobeAttribute;
class GlobeBrush;
class GlobeFont;
class GlobeHost;
class GlobeObject;
class GlobePen;

// The objects of one layer in drawing order, with the attributes they share. The layer of
// the control derives from it and adds its files, flags and rendering.
class ObjectLayer
{
public:
    explicit ObjectLayer(GlobeHost& host);
    virtual ~ObjectLayer();
    ObjectLayer(const ObjectLayer&) = delete;
    ObjectLayer& operator=(const ObjectLayer&) = delete;

    GlobeHost& host() const { return *m_host; }

    // Settings the objects read while measuring and drawing.
    bool scaleFont = true;
    std::int32_t maxFontHeight = 0; // screen pixels, 0 = no cap
    bool animated = false;
    // Priority of the layer's labels when they compete for room, higher first; -1 leaves it
    // to the kind of object: symbols (capitals) 1, point texts (cities, by population) 0,
    // plain texts (country names) -1.
    int labelRank = -1;
    // Labels at nearly the same spot share one label, and none is left out uncounted: for
    // the user's own records.
    bool groupLabels = false;
    // Objects of the data file (or added by the program) are in memory.
    bool loaded = false;
    GURect extent;

    int objectCount() const { return static_cast<int>(m_objects.size()); }
    GlobeObject* object(int index) const;
    int indexOf(const GlobeObject& object) const;
    // Throws GlobeException "TGlobeObject.SetIndex: Bad position!" for a bad position.
    void moveObject(GlobeObject& object, int index);
    // Takes the object into the list (last, so drawn on top); called by the creators.
    void adoptObject(std::unique_ptr<GlobeObject> object);
    // Detaches the object from the list and the selection and frees it.
    void removeObject(GlobeObject& object);
    // Frees every object and attribute.
    void unloadObjects();
    // Frees the objects after the first count, newest first, without a search for each.
    void truncateObjects(int count);
    // Room for this many more objects, for a caller about to add many.
    void reserveObjects(int more);

    int attributeCount() const { return static_cast<int>(m_attributes.size()); }
    GlobeAttribute* attribute(int index) const;
    int indexOfAttribute(const GlobeAttribute* attribute) const;
    void adoptAttribute(std::unique_ptr<GlobeAttribute> attribute);
    void discardAttribute(GlobeAttribute& attribute);
    std::vector<std::unique_ptr<GlobeAttribute>>& attributes() { return m_attributes; }

    // The first equal attribute of the layer, or a new one appended to it.
    GlobePen& findOrCreatePen(GlobeColor color, std::uint8_t width, std::uint8_t style);
    GlobeBrush& findOrCreateBrush(GlobeColor color, std::uint8_t style);
    GlobeFont& findOrCreateFont(const FontData& data);

protected:
    // A new object empties the extent (recomputed at the next render) and marks the layer
    // loaded, so a later automatic load does not replace what the program added.
    virtual void objectAdded(GlobeObject& object);

private:
    void freeObject(std::unique_ptr<GlobeObject> object);

    GlobeHost* m_host;
    std::vector<std::unique_ptr<GlobeObject>> m_objects;
    std::vector<std::unique_ptr<GlobeAttribute>> m_attributes;
};

} // namespace wl
