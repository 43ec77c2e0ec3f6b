#pragma once

#include "globe/GlobePersistent.h"
#include "globe/LLPoint.h"
#include "globe/ScreenPoint.h"

#include <cstdint>
#include <memory>
#include <string>

namespace wl {

class GlobeAttribute;
class GlobeHost;
class ObjectLayer;
class PrjModel;
struct RenderContext;

// Base of everything a layer draws. Objects hold no drawing settings of their own, only
// references to attributes of their layer.
class GlobeObject : public GlobePersistent
{
public:
    // State flags.
    static constexpr std::uint8_t Selected = 1;
    static constexpr std::uint8_t Hidden = 2;
    static constexpr std::uint8_t BoundsStale = 4;
    static constexpr std::uint8_t AppearanceChanged = 8;
    static constexpr std::uint8_t OnScreen = 16;
    static constexpr std::uint8_t TooSmall = 32;
    static constexpr std::uint8_t OwnAttributes = 64;

    static constexpr std::size_t MaxTitleLength = 64;

    explicit GlobeObject(ObjectLayer& layer) : m_layer(&layer) {}

    ObjectLayer& layer() const { return *m_layer; }
    GlobeHost& host() const;
    PrjModel& projection() const;

    const std::string& title() const { return m_title; }
    void setTitle(const std::string& title) { m_title = title.substr(0, MaxTitleLength); }
    void setTitle(std::string&& title);
    double value = 0;
    std::int32_t objectID = 0;
    std::int32_t rowID = 0;
    const LLPoint& location() const { return m_location; }
    const GURect& bounds() const { return m_bounds; }
    std::uint8_t state = BoundsStale;

    bool selected() const { return state & Selected; }
    void setSelected(bool selected);
    bool hidden() const { return state & Hidden; }
    void setHidden(bool hidden);
    int index() const;
    void setIndex(int index);
    // Marks the bounds stale and asks for a new picture.
    void changed();
    // Detaches the object from the control and its layer and frees it.
    void remove();

    // Called for every object after each block of a layer file was read.
    virtual void loaded() {}
    virtual LLPoint centre() const;
    virtual void moveTo(const LLPoint& p);
    // Attribute slots: none for an index the class does not have; setAttribute ignores an
    // attribute of the wrong class.
    virtual GlobeAttribute* attribute(int index) const = 0;
    virtual void setAttribute(int index, GlobeAttribute* attribute) = 0;
    virtual void draw(RenderContext& ctx) = 0;
    // A new object of the same class and shape in the same layer; the base class cannot.
    virtual GlobeObject& clone() const;
    virtual bool isOnScreen();
    // For an object whose isOnScreen is exactly "its position projects to within this many
    // pixels of the surface": that margin, so that a layer can leave out whole areas off the
    // surface without projecting each object. -1 for any other on-screen test.
    virtual int locationMargin() const { return -1; }
    virtual void updateBounds();
    virtual void doSelect();
    virtual bool hitTest(std::int32_t lon, std::int32_t lat);

    void saveToStream(ByteWriter& out, const StreamContext& ctx) const override;
    void loadFromStream(ByteReader& in, const StreamContext& ctx) override;

protected:
    // Title and position of a new object; its creator raises the creation event once the
    // object is complete.
    void init(std::int32_t lat, std::int32_t lon, const std::string& title);
    void setLocation(const LLPoint& p) { m_location = p; }
    void setBounds(const GURect& r) { m_bounds = r; }
    // Refreshes stale bounds before a hit test or render.
    void refreshBounds();
    // Header of every object record: the title and, when set, the ID.
    void saveHeader(ByteWriter& out) const;
    void loadHeader(ByteReader& in, const StreamContext& ctx);

    // Creates T in the layer and returns it; the layer owns it.
    template <class T> static T& make(ObjectLayer& layer);

    bool m_crossesDateLine = false;

private:
    ObjectLayer* m_layer;
    std::string m_title;
    GURect m_bounds;
    LLPoint m_location;
};

} // namespace wl

#include "globe/ObjectLayer.h"

namespace wl {

template <class T> T& GlobeObject::make(ObjectLayer& layer)
{
    auto p = std::make_unique<T>(layer);
    T& r = *p;
    layer.adoptObject(std::move(p));
    return r;
}

} // namespace wl
