#include "globe/GlobeLayer.h"

#include "globe/Canvas.h"
#include "globe/FileBytes.h"
#include "globe/GlobeAttribute.h"
#include "globe/GlobeException.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeObject.h"
#include "globe/IniFile.h"
#include "globe/LayerFile.h"
#include "globe/LayerHost.h"
#include "globe/LocationCulling.h"
#include "globe/PrjHost.h"
#include "globe/PrjModel.h"
#include "globe/RenderContext.h"

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace wl {

namespace {

// Half the world's longitude and latitude spans: a wider layer is tested object by object.
constexpr std::int32_t MaxExtentWidth = 972000000;
constexpr std::int32_t MaxExtentHeight = 486000000;
constexpr int MaxAdoptedSlots = 33;
// A long render shows its half-finished picture at most this often, at every 255th object.
constexpr std::chrono::milliseconds ProgressInterval{500};
constexpr int ProgressObjectStep = 255;
// Layers with fewer objects test each one: leaving out areas would not pay for itself.
constexpr int MinObjectsToCull = 1024;

std::string objectsLoadedText(const std::string& name, int count)
{
    return name + " Loaded " + std::to_string(count) + " objects";
}

std::string stripExtension(const std::string& fileName)
{
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? fileName : fileName.substr(0, dot);
}

} // namespace

std::string folderOf(const std::string& path)
{
    const auto sep = path.find_last_of("/\\");
    return sep == std::string::npos ? std::string() : path.substr(0, sep + 1);
}

std::string withoutFolder(const std::string& path)
{
    const auto sep = path.find_last_of("/\\");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string withTrailingSeparator(const std::string& folder)
{
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\')
        return folder;
    return folder + '/';
}

GlobeLayer::GlobeLayer(GlobeHost& host, LayerHost& layerHost)
    : ObjectLayer(host), m_layerHost(&layerHost)
{
    reset();
}

GlobeLayer::~GlobeLayer()
{
    unload();
}

void GlobeLayer::setLayerFlag(int index, bool value)
{
    bool* flag = nullptr;
    switch (index) {
    case FlagEnabled:
        flag = &enabled;
        break;
    case FlagVisible:
        flag = &visible;
        break;
    case FlagAnimated:
        flag = &animated;
        break;
    case FlagScaleFont:
        flag = &scaleFont;
        break;
    case FlagLoadOnDemand:
        flag = &loadOnDemand;
        break;
    default:
        break;
    }
    if (flag && *flag == value)
        return;
    if (flag)
        *flag = value;
    host().redraw();
}

bool GlobeLayer::layerFlag(int index) const
{
    switch (index) {
    case FlagEnabled:
        return enabled;
    case FlagVisible:
        return visible;
    case FlagAnimated:
        return animated;
    case FlagScaleFont:
        return scaleFont;
    case FlagLoadOnDemand:
        return loadOnDemand;
    default:
        return false;
    }
}

void GlobeLayer::reset()
{
    m_fileName.clear();
    extent = GURect{};
    enabled = visible = scaleFont = true;
    animated = loadOnDemand = false;
    dataFormat = 1;
    maxFontHeight = zoomMin = zoomMax = 0;
    zoomUnits = GlobeUnits::NauticalMile;
    unload();
    host().redraw();
}

void GlobeLayer::unload()
{
    if (GlobeObject* s = m_layerHost->selectedObject(); s && &s->layer() == this)
        m_layerHost->clearSelectedObject();
    unloadObjects();
}

void GlobeLayer::loadObjects()
{
    if (m_fileName.empty())
        return;
    const std::string path = m_directory + m_fileName;
    auto bytes = FileBytes::read(path);
    if (!bytes) {
        std::error_code ec;
        if (std::filesystem::exists(path, ec))
            throw GlobeException("LoadFromFile: File " + path + " could not be read");
        throw GlobeException("LoadFromFile: File " + path + " not found");
    }
    BusyScope busy(*m_layerHost);
    if (m_name.empty())
        m_name = stripExtension(m_fileName);
    // Whatever happens while reading, the layer counts as loaded with what it got, so a
    // damaged file is not read again at every render.
    struct Finish
    {
        GlobeLayer& layer;
        ~Finish()
        {
            layer.loaded = true;
            layer.m_layerHost->progress(0, objectsLoadedText(layer.m_name, layer.objectCount()));
        }
    } finish{*this};
    try {
        dataFormat = LayerFile::read(
            *bytes, *this, m_fileName,
            [this](int n) { m_layerHost->progress(0, objectsLoadedText(m_name, n)); },
            m_layerHost->classRegistry());
    } catch (const GlobeException& e) {
        // The reader's own messages (a truncated record, an attribute of the wrong kind) do
        // not know the file; the user must learn which one is damaged.
        const std::string what = e.what();
        if (what.find(m_fileName) != std::string::npos)
            throw;
        throw GlobeException(what + " in " + path);
    }
}

void GlobeLayer::readProfileSection()
{
    const IniFile* p = m_layerHost->profile();
    if (!p)
        return;
    const std::string& s = m_fileName;
    m_name = p->readString(s, "Name", m_name);
    enabled = p->readBool(s, "Enabled", enabled);
    visible = p->readBool(s, "Visible", visible);
    animated = p->readBool(s, "Animated", animated);
    scaleFont = p->readBool(s, "ScaleFont", scaleFont);
    loadOnDemand = p->readBool(s, "LoadOnDemand", loadOnDemand);
    zoomUnits = strToUnits(p->readString(s, "ZoomUnits", unitsToStr(zoomUnits)));
    zoomMin = p->readInt(s, "ZoomMin", zoomMin);
    zoomMax = p->readInt(s, "ZoomMax", zoomMax);
    maxFontHeight = p->readInt(s, "MaxFontHeight", maxFontHeight);
}

void GlobeLayer::loadFromFile(const std::string& path)
{
    loaded = false;
    if (path.empty())
        return;
    m_layerHost->progress(1, "Loading layer " + path);
    m_fileName = withoutFolder(path);
    const std::string folder = folderOf(path);
    m_directory = withTrailingSeparator(folder.empty() ? m_layerHost->dataDirectory() : folder);
    readProfileSection();
    if (!loadOnDemand)
        loadObjects();
    m_layerHost->progress(2, {});
    host().redraw();
}

void GlobeLayer::saveToFile(const std::string& path)
{
    BusyScope busy(*m_layerHost);
    // The layer then names the file it was saved to, folder and name kept apart, so a later
    // load or profile save finds that file and not a folder joined twice.
    struct Rename
    {
        GlobeLayer& layer;
        const std::string& path;
        ~Rename()
        {
            layer.m_fileName = withoutFolder(path);
            if (!folderOf(path).empty())
                layer.m_directory = folderOf(path);
        }
    } rename{*this, path};
    const std::vector<std::uint8_t> bytes =
        LayerFile::write(*this, dataFormat, m_layerHost->classRegistry());
    FileBytes::writeAtomically(path, bytes);
}

void GlobeLayer::updateExtent()
{
    if (objectCount() == 0) {
        extent = GURect{};
        return;
    }
    GURect r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (int i = 0; i < objectCount(); ++i) {
        const GURect& b = object(i)->bounds();
        r.left = std::min(r.left, b.left);
        r.top = std::min(r.top, b.top);
        r.right = std::max(r.right, b.right);
        r.bottom = std::max(r.bottom, b.bottom);
    }
    const std::int64_t w = std::int64_t{r.right} - r.left;
    const std::int64_t h = std::int64_t{r.bottom} - r.top;
    extent = w < MaxExtentWidth && h < MaxExtentHeight ? r : GURect{};
}

bool GlobeLayer::isVisibleNow()
{
    const bool r = visible && objectCount() > 0;
    if (!loaded && !loadOnDemand)
        loadObjects();
    if (!r && !loadOnDemand)
        return false;
    PrjModel& prj = host().projection();
    const std::int64_t w = std::int64_t{prj.host().surfaceWidth()} * prj.unitsPerPixel();
    const std::int64_t zmin = unitsToGU(zoomUnits, zoomMin);
    const std::int64_t zmax = unitsToGU(zoomUnits, zoomMax);
    const bool inRange = !((zmin != 0 && w < zmin) || (zmax != 0 && zmax < w));
    if (loadOnDemand && inRange != loaded) {
        if (inRange)
            loadObjects();
        else
            unload();
    }
    if (!inRange || animated || extent.isEmpty() || !m_layerHost->hasSurface())
        return inRange;
    std::uint8_t code = 0;
    return prj.rectVisible(extent, code);
}

void GlobeLayer::render(RenderContext& ctx, bool rerender, bool redraw)
{
    if (!visible)
        return;
    using Clock = std::chrono::steady_clock;
    for (int i = 0; i < attributeCount(); ++i)
        attribute(i)->resetCache(ctx);
    auto next = Clock::now() + ProgressInterval;
    // The layer's objects alone draw on the surface until the pass ends, however it ends.
    struct SkipRepeats
    {
        Canvas& canvas;
        explicit SkipRepeats(Canvas& c) : canvas(c) { canvas.setSkipRepeatedEllipses(true); }
        ~SkipRepeats() { canvas.setSkipRepeatedEllipses(false); }
    } skipRepeats(ctx.canvas);
    if (isVisibleNow()) {
        LocationCulling culling(host().projection(), objectCount() >= MinObjectsToCull);
        for (int i = 0; i < objectCount(); ++i) {
            GlobeObject& o = *object(i);
            if (rerender || (o.state & GlobeObject::BoundsStale)) {
                o.state &=
                    ~(GlobeObject::BoundsStale | GlobeObject::TooSmall | GlobeObject::OnScreen);
                o.updateBounds();
                o.state |= GlobeObject::AppearanceChanged;
            }
            if (!(o.state & (GlobeObject::TooSmall | GlobeObject::Hidden))) {
                // The on-screen test depends only on the bounds and the view, so a redraw
                // without a view change reuses the last pass's answer.
                const bool screenTestStale = rerender || !m_screenTestsValid;
                if ((redraw && screenTestStale) || (o.state & GlobeObject::AppearanceChanged)) {
                    // The answer holds until the view or the object's appearance changes
                    // again, so the next redraw of an unchanged view does not ask again.
                    if (!culling.offSurface(o) && o.isOnScreen())
                        o.state |= GlobeObject::OnScreen;
                    else
                        o.state &= ~GlobeObject::OnScreen;
                    o.state &= ~GlobeObject::AppearanceChanged;
                }
                if (o.state & GlobeObject::OnScreen) {
                    o.state |= GlobeObject::OwnAttributes;
                    if (m_layerHost->renderAttributes(o))
                        o.state &= ~GlobeObject::OwnAttributes;
                    o.draw(ctx);
                }
            }
            if (m_layerHost->periodicUpdate() && i % ProgressObjectStep == 0 &&
                Clock::now() > next) {
                m_layerHost->showProgressPicture();
                next = Clock::now() + ProgressInterval;
            }
        }
        m_screenTestsValid = redraw || rerender || m_screenTestsValid;
    } else {
        m_screenTestsValid = false;
    }
    if (extent.isEmpty())
        updateExtent();
}

GlobeObject* GlobeLayer::objectAt(std::int32_t lon, std::int32_t lat)
{
    if (!m_layerHost->hasSurface())
        return nullptr;
    for (int i = objectCount() - 1; i >= 0; --i) {
        if (object(i)->hitTest(lon, lat))
            return object(i);
    }
    return nullptr;
}

GlobeObject* GlobeLayer::selectableObjectAt(int x, int y)
{
    try {
        std::int32_t lon = 0, lat = 0;
        if (!m_layerHost->hasSurface() || !host().projection().unproject(x, y, lon, lat) ||
            !isVisibleNow())
            return nullptr;
        const int count = objectCount();
        if (count == 0)
            return nullptr;
        int s = -1;
        if (GlobeObject* sel = m_layerHost->selectedObject(); sel && sel->hitTest(lon, lat))
            s = indexOf(*sel) - 1; // -2 for an object of another layer
        if (s < 0)
            s = count - 1;
        int k = s;
        do {
            GlobeObject& candidate = *object(k);
            k = k - 1 < 0 ? count - 1 : k - 1;
            if ((candidate.state & GlobeObject::OnScreen) && candidate.hitTest(lon, lat))
                return &candidate;
        } while (k != s);
    } catch (const std::exception&) {
    }
    return nullptr;
}

template <class Match>
GlobeObject* GlobeLayer::findFrom(const GlobeObject* after, Match match) const
{
    const int start = after ? after->index() + 1 : 0;
    for (int i = std::max(start, 0); i < objectCount(); ++i) {
        if (match(*object(i)))
            return object(i);
    }
    return nullptr;
}

GlobeObject* GlobeLayer::findByTitle(const std::string& title, const GlobeObject* after) const
{
    return findFrom(after, [&](const GlobeObject& o) { return o.title() == title; });
}

GlobeObject* GlobeLayer::findByObjectID(std::int32_t id, const GlobeObject* after) const
{
    return findFrom(after, [&](const GlobeObject& o) { return o.objectID == id; });
}

GlobeObject* GlobeLayer::findByRowID(std::int32_t id, const GlobeObject* after) const
{
    return findFrom(after, [&](const GlobeObject& o) { return o.rowID == id; });
}

void GlobeLayer::adoptAttributes(GlobeObject& object)
{
    for (int i = 0; i < MaxAdoptedSlots; ++i) {
        GlobeAttribute* a = object.attribute(i);
        if (!a)
            break;
        object.setAttribute(i, &a->cloneTo(*this));
    }
}

} // namespace wl
