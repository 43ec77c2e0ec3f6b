#include "globe/ObjectLayer.h"

#include "globe/GlobeBrush.h"
#include "globe/GlobeException.h"
#include "globe/GlobeFont.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeObject.h"
#include "globe/GlobePen.h"

#include <algorithm>
#include <string_view>

namespace wl {

ObjectLayer::ObjectLayer(GlobeHost& host) : m_host(&host) {}

ObjectLayer::~ObjectLayer()
{
    unloadObjects();
}

GlobeObject* ObjectLayer::object(int index) const
{
    if (index < 0 || index >= objectCount())
        return nullptr;
    return m_objects[index].get();
}

int ObjectLayer::indexOf(const GlobeObject& object) const
{
    for (int i = 0; i < objectCount(); ++i) {
        if (m_objects[i].get() == &object)
            return i;
    }
    return -1;
}

void ObjectLayer::moveObject(GlobeObject& object, int index)
{
    const int from = indexOf(object);
    if (from < 0 || index < 0 || index >= objectCount())
        throw GlobeException("TGlobeObject.SetIndex: Bad position!");
    std::unique_ptr<GlobeObject> p = std::move(m_objects[from]);
    m_objects.erase(m_objects.begin() + from);
    m_objects.insert(m_objects.begin() + index, std::move(p));
}

void ObjectLayer::adoptObject(std::unique_ptr<GlobeObject> object)
{
    GlobeObject& o = *object;
    m_objects.push_back(std::move(object));
    objectAdded(o);
}

void ObjectLayer::reserveObjects(int more)
{
    if (more > 0)
        m_objects.reserve(m_objects.size() + static_cast<std::size_t>(more));
}

void ObjectLayer::objectAdded(GlobeObject&)
{
    extent = GURect{};
    loaded = true;
}

void ObjectLayer::freeObject(std::unique_ptr<GlobeObject> object)
{
    m_host->objectFreed(*object);
}

void ObjectLayer::removeObject(GlobeObject& object)
{
    const int i = indexOf(object);
    if (i < 0)
        return;
    m_host->invalidate();
    m_host->removeFromSelection(object);
    if (object.selected())
        object.setSelected(false);
    std::unique_ptr<GlobeObject> p = std::move(m_objects[i]);
    m_objects.erase(m_objects.begin() + i);
    freeObject(std::move(p));
}

void ObjectLayer::truncateObjects(int count)
{
    while (objectCount() > std::max(count, 0)) {
        std::unique_ptr<GlobeObject> p = std::move(m_objects.back());
        m_objects.pop_back();
        if (p->selected())
            m_host->removeFromSelection(*p);
        freeObject(std::move(p));
    }
}

void ObjectLayer::unloadObjects()
{
    // Objects first: they refer to the attributes.
    truncateObjects(0);
    m_attributes.clear();
    loaded = false;
}

GlobeAttribute* ObjectLayer::attribute(int index) const
{
    if (index < 0 || index >= attributeCount())
        return nullptr;
    return m_attributes[index].get();
}

int ObjectLayer::indexOfAttribute(const GlobeAttribute* attribute) const
{
    for (int i = 0; i < attributeCount(); ++i) {
        if (m_attributes[i].get() == attribute)
            return i;
    }
    return -1;
}

void ObjectLayer::adoptAttribute(std::unique_ptr<GlobeAttribute> attribute)
{
    m_attributes.push_back(std::move(attribute));
}

void ObjectLayer::discardAttribute(GlobeAttribute& attribute)
{
    const int i = indexOfAttribute(&attribute);
    if (i >= 0)
        m_attributes.erase(m_attributes.begin() + i);
}

namespace {

template <class T, class Match>
T* findAttribute(const std::vector<std::unique_ptr<GlobeAttribute>>& list, Match match)
{
    for (const auto& a : list) {
        if (auto* t = dynamic_cast<T*>(a.get()); t && match(*t))
            return t;
    }
    return nullptr;
}

} // namespace

GlobePen& ObjectLayer::findOrCreatePen(GlobeColor color, std::uint8_t width, std::uint8_t style)
{
    if (GlobePen* p = findAttribute<GlobePen>(m_attributes, [&](const GlobePen& a) {
            return a.data.color == color && a.data.style == style && a.data.width == width;
        }))
        return *p;
    auto pen = std::make_unique<GlobePen>(*this);
    pen->data = PenData{color, style, width};
    GlobePen& r = *pen;
    adoptAttribute(std::move(pen));
    return r;
}

GlobeBrush& ObjectLayer::findOrCreateBrush(GlobeColor color, std::uint8_t style)
{
    if (GlobeBrush* b = findAttribute<GlobeBrush>(m_attributes, [&](const GlobeBrush& a) {
            return a.data.color == color && a.data.style == style;
        }))
        return *b;
    auto brush = std::make_unique<GlobeBrush>(*this);
    brush->data = BrushData{color, style};
    GlobeBrush& r = *brush;
    adoptAttribute(std::move(brush));
    return r;
}

GlobeFont& ObjectLayer::findOrCreateFont(const FontData& data)
{
    const std::string_view face = std::string_view(data.face).substr(0, GlobeFont::MaxFaceLength);
    if (GlobeFont* f = findAttribute<GlobeFont>(m_attributes, [&](const GlobeFont& a) {
            return a.color == data.color && a.size == data.size && a.unit() == data.unit &&
                   a.angle == data.angle && a.face == face && a.styles == data.styles;
        }))
        return *f;
    auto font = std::make_unique<GlobeFont>(*this);
    font->setUnit(data.unit);
    font->color = data.color;
    font->size = data.size;
    font->angle = data.angle;
    font->face = face;
    font->styles = data.styles;
    GlobeFont& r = *font;
    adoptAttribute(std::move(font));
    return r;
}

} // namespace wl
