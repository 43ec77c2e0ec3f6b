#include "globe/GlobeEngine.h"

#include "globe/CartesianPrj.h"
#include "globe/Clipper.h"
#include "globe/DrawServices.h"
#include "globe/Geodesy.h"
#include "globe/GlobeAttribute.h"
#include "globe/GlobeException.h"
#include "globe/GlobeMath.h"
#include "globe/GlobeObject.h"
#include "globe/MercatorPrj.h"
#include "globe/NightOverlay.h"
#include "globe/PainterCanvas.h"
#include "globe/RenderContext.h"
#include "globe/SphericalPrj.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QtGlobal>

#include <algorithm>
#include <cmath>

namespace wl {

namespace {

constexpr long double MaxScale = 4;
// The globe whose view bringUnder is turning step by step: its objects are marked once, when
// the turn has settled. Globes live on the user-interface thread only.
const GlobeEngine* settlingEngine = nullptr;
// Days from 30 December 1899 to the Unix epoch.
constexpr double UnixEpochDays = 25569.0;

long double limitScale(long double s, int w, int h)
{
    s = std::min(s, MaxScale);
    const long double big = std::max(w, h);
    if (s > 0 && big / s > 2147483647.0L)
        s = big / 2147483647.0L;
    return s;
}

std::int32_t rotationUnit(int index)
{
    if (index & 4)
        return GUPerDegree;
    if (index & 8)
        return GUPerMinute;
    if (index & 16)
        return 1500;
    return 1;
}

bool validRotationIndex(int index)
{
    static constexpr int valid[] = {0, 1, 2, 4, 5, 6, 8, 9, 10, 16, 17, 18};
    return std::find(std::begin(valid), std::end(valid), index) != std::end(valid);
}

std::unique_ptr<PrjModel> makeModel(GlobeEngine::Projection p, PrjHost& host)
{
    switch (p) {
    case GlobeEngine::Projection::Cartesian:
        return std::make_unique<CartesianPrj>(host);
    case GlobeEngine::Projection::Mercator:
        return std::make_unique<MercatorPrj>(host);
    case GlobeEngine::Projection::Spherical:
        break;
    }
    return std::make_unique<SphericalPrj>(host);
}

} // namespace

GlobeEngine::SurfaceScope::SurfaceScope(GlobeEngine& engine, PainterCanvas& canvas)
    : m_engine(engine), m_ok(!engine.m_rendering)
{
    if (m_ok) {
        m_engine.m_rendering = true;
        m_engine.m_canvas = &canvas;
        m_engine.m_surfacePainter = &canvas.painter();
    }
}

GlobeEngine::SurfaceScope::~SurfaceScope()
{
    if (m_ok) {
        m_engine.m_canvas = nullptr;
        m_engine.m_surfacePainter = nullptr;
        m_engine.m_rendering = false;
    }
}

GlobeEngine::GlobeEngine() : m_model(std::make_unique<SphericalPrj>(*this)), m_layers(*this, *this)
{
    // Fonts given in screen pixels are measured against the screen there is; without one
    // (an image rendered by a program without a window system) against 96 pixels an inch.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (const QScreen* s = QGuiApplication::primaryScreen())
            m_screenPpi = std::max(1, static_cast<int>(std::lround(s->logicalDotsPerInch())));
    }
    setSurface(150, 150, m_screenPpi);
    setScaleFactor(0);
}

GlobeEngine::~GlobeEngine()
{
    m_destroying = true;
    clearLayers();
}

// --- properties ------------------------------------------------------------------------

void GlobeEngine::setBackground(const QImage& image)
{
    m_background = image;
    redraw();
}

void GlobeEngine::setLongitudeStep(int degrees)
{
    if (degrees < 0 || degrees > 179)
        return;
    m_lonStep = degrees;
    redraw();
}

void GlobeEngine::setLatitudeStep(int degrees)
{
    if (degrees < 0 || degrees > 89)
        return;
    m_latStep = degrees;
    redraw();
}

void GlobeEngine::setDrawGrid(DrawGrid g)
{
    m_drawGrid = g;
    redraw();
}

void GlobeEngine::setGridPen(const PenData& p)
{
    m_gridPen = p;
    redraw();
}

void GlobeEngine::setSelectedPen(const PenData& p)
{
    m_selectedPen = p;
    redraw();
}

void GlobeEngine::setSelectedBrush(const BrushData& b)
{
    m_selectedBrush = b;
    redraw();
}

void GlobeEngine::setGlobeColor(GlobeColor c)
{
    m_globeColor = c;
    redraw();
}

void GlobeEngine::setColor(GlobeColor c)
{
    m_color = c;
    redraw();
}

void GlobeEngine::setMinTextHeight(int h)
{
    m_minTextHeight = h;
    redraw();
}

// --- view ---

long double GlobeEngine::scaleFactor() const
{
    return m_model->scale();
}

void GlobeEngine::setSurface(int w, int h, int ppi)
{
    if (w == 0 || h == 0 || ppi == 0)
        return;
    const int oldW = m_w, oldH = m_h;
    std::int32_t cx = m_model->cx(), cy = m_model->cy();
    if (oldW > 0 && oldH > 0) {
        cx = static_cast<std::int32_t>(gmath::mulDiv(cx, w, oldW));
        cy = static_cast<std::int32_t>(gmath::mulDiv(cy, h, oldH));
    }
    m_w = w;
    m_h = h;
    m_ppi = ppi;
    m_model->setOrigin(cx, cy);
    const long double a = std::min(std::abs(m_viewRect.right - m_viewRect.left),
                                   std::abs(m_viewRect.bottom - m_viewRect.top));
    long double s = a < 1 ? scaleFactor() : std::min(w, h) / a;
    s = limitScale(s, w, h);
    // A new size moves the edges, so every on-screen test is redone even at the same scale.
    m_rerender = true;
    m_model->setView(m_model->xRotation(), m_model->yRotation(), s, m_model->zRotation());
    m_viewRect = GURect{0, 0, gmath::round32(w / s), gmath::round32(h / s)};
}

void GlobeEngine::setSurfaceSize(int w, int h)
{
    if (w == m_w && h == m_h)
        return;
    setSurface(w, h, m_screenPpi);
    redraw();
}

void GlobeEngine::markBoundsStale()
{
    for (int i = 0; i < m_layers.count(); ++i) {
        GlobeLayer& l = *m_layers.layer(i);
        for (int k = 0; k < l.objectCount(); ++k)
            l.object(k)->state |= GlobeObject::BoundsStale;
    }
}

void GlobeEngine::applyScale(long double x)
{
    m_viewRect = GURect{0, 0, gmath::round32(m_w / x), gmath::round32(m_h / x)};
    m_model->setView(m_model->xRotation(), m_model->yRotation(), x, m_model->zRotation());
    markBoundsStale();
    m_rerender = m_redraw = true;
    if (onZoomed)
        onZoomed();
    pictureStale();
}

void GlobeEngine::setScaleFactor(long double x)
{
    if (x < 0)
        return;
    syncSurface();
    try {
        if (x == 0) {
            const GURect& e = m_model->extent();
            x = std::min(static_cast<long double>(m_w) / std::abs(e.right - e.left),
                         static_cast<long double>(m_h) / std::abs(e.bottom - e.top));
            m_model->setOrigin(m_w / 2, m_h / 2);
        }
        x = limitScale(std::min(x, limitZoom(x, false)), m_w, m_h);
        if (x == scaleFactor())
            return;
        const long double s = scaleFactor();
        m_model->setOrigin(gmath::round32((m_model->cx() - m_w / 2) / s * x) + m_w / 2,
                           gmath::round32((m_model->cy() - m_h / 2) / s * x) + m_h / 2);
        applyScale(x);
    } catch (const std::exception&) {
        // A scale the model cannot take leaves the view as it was.
    }
}

void GlobeEngine::zoomToRect(const GURect& r)
{
    syncSurface();
    const std::int64_t rw = std::abs(std::int64_t{r.right} - r.left);
    const std::int64_t rh = std::abs(std::int64_t{r.bottom} - r.top);
    if (rw == 0 || rh == 0) {
        setScaleFactor(0);
        return;
    }
    try {
        long double c =
            std::min(static_cast<long double>(m_h) / rh, static_cast<long double>(m_w) / rw);
        c = std::min(c, MaxScale);
        c = std::min(c, limitZoom(c, true));
        const long double s = scaleFactor();
        m_model->setOrigin(gmath::round32(c * (m_model->cx() / s - (r.left + rw / 2))) + m_w / 2,
                           gmath::round32(c * (m_model->cy() / s - (r.top + rh / 2))) + m_h / 2);
        c = limitScale(c, m_w, m_h);
        if (c != s)
            applyScale(c);
    } catch (const std::exception&) {
    }
    redraw();
}

long double GlobeEngine::limitZoom(long double wanted, bool step) const
{
    const long double s = scaleFactor();
    if (step && maxZoomStep > 0 && s > 0)
        wanted = std::min(wanted, std::max(s, s * maxZoomStep));
    if (minViewAcross > 0 && m_w > 0 && m_h > 0) {
        // A view already deeper (stored before the limit) is kept, never pushed deeper.
        const long double deepest = static_cast<long double>(std::min(m_w, m_h)) / minViewAcross;
        wanted = std::min(wanted, std::max(deepest, std::min(s, wanted)));
    }
    return wanted;
}

void GlobeEngine::zoomAbout(int x, int y, long double factor)
{
    if (factor <= 0)
        return;
    syncSurface();
    LLPoint p;
    const bool onMap = screenToLL(x, y, p);
    const long double s = scaleFactor();
    long double wanted = s * factor;
    if (factor > 1)
        wanted = limitZoom(wanted, true);
    setScaleFactor(wanted);
    if (onMap)
        bringUnder(p, x, y);
}

bool GlobeEngine::bringUnder(const LLPoint& p, int x, int y)
{
    if (m_projection != Projection::Spherical) {
        // The flat maps slide: the point's pixel moves by the difference.
        if (!m_model->projectLL(p.lon, p.lat, 0))
            return false;
        const ScreenPoint at = m_model->points()[0];
        setScreenOrigin(ScreenPoint{gmath::saturate32(std::int64_t{m_model->cx()} + x - at.x),
                                    gmath::saturate32(std::int64_t{m_model->cy()} + y - at.y)});
        return true;
    }
    // The globe turns by the difference of latitude and longitude between p and the point now
    // at (x, y). One turn leaves a small error away from the centre; a few make it exact to
    // the pixel.
    struct Settling
    {
        GlobeEngine& engine;
        bool turned = false;
        ~Settling()
        {
            settlingEngine = nullptr;
            if (turned)
                engine.viewChanged();
        }
    } settling{*this};
    settlingEngine = this;
    for (int i = 0; i < 4; ++i) {
        std::int32_t lon = 0, lat = 0;
        if (!m_model->unproject(x, y, lon, lat))
            return false;
        std::int64_t d = std::int64_t{p.lon} - lon;
        if (d > GU180)
            d -= GU360;
        else if (d < -GU180)
            d += GU360;
        const std::int64_t dLat = std::int64_t{p.lat} - lat;
        if (std::abs(d) <= 1 && std::abs(dLat) <= 1)
            break;
        m_model->setView(gmath::saturate32(m_model->xRotation() + dLat),
                         gmath::saturate32(m_model->yRotation() + d), scaleFactor(),
                         m_model->zRotation());
        settling.turned = true;
    }
    return true;
}

std::int32_t GlobeEngine::rotation(int index) const
{
    if (!validRotationIndex(index))
        return 0;
    std::int32_t v = 0;
    switch (index & 3) {
    case 0:
        v = m_model->zRotation();
        break;
    case 1:
        v = m_model->yRotation();
        break;
    default:
        v = m_model->xRotation();
        break;
    }
    return v / rotationUnit(index);
}

void GlobeEngine::setRotation(int index, std::int32_t value)
{
    if ((index & 3) == 3)
        return;
    const auto gu = gmath::saturate32(std::int64_t{value} * rotationUnit(index));
    std::int32_t x = m_model->xRotation(), y = m_model->yRotation(), z = m_model->zRotation();
    std::int32_t& target = (index & 3) == 0 ? z : (index & 3) == 1 ? y : x;
    if (target == gu)
        return;
    target = gu;
    m_model->setView(x, y, scaleFactor(), z);
}

ScreenPoint GlobeEngine::screenOrigin() const
{
    return ScreenPoint{m_model->cx(), m_model->cy()};
}

void GlobeEngine::setScreenOrigin(ScreenPoint p)
{
    if (p.x == m_model->cx() && p.y == m_model->cy())
        return;
    m_model->setOrigin(p.x, p.y);
    m_rerender = true;
    redraw();
}

bool GlobeEngine::screenToLL(int x, int y, LLPoint& p) const
{
    std::int32_t lon = 0, lat = 0;
    if (m_model->unproject(x, y, lon, lat)) {
        p = makeLLPoint(lon, lat);
        return true;
    }
    p = llPoint(GU180, GU180);
    return false;
}

void GlobeEngine::setProjection(Projection p)
{
    if (p == m_projection)
        return;
    if (m_rendering) {
        // The render in progress draws through the current model; swap it afterwards.
        deferProjection(p);
        return;
    }
    LLPoint centre;
    const bool onMap = screenToLL(m_w / 2, m_h / 2, centre);
    m_model = makeModel(p, *this);
    m_projection = p;
    modelReplaced();
    // A fresh model has no derived units until its first view.
    m_model->setView(m_model->xRotation(), m_model->yRotation(), m_model->scale(),
                     m_model->zRotation());
    // Every cached projection belongs to the old model.
    viewChanged();
    if (!onMap) {
        setScaleFactor(0);
        return;
    }
    zoomToRect(m_viewRect);
    centreOnLL(centre.lon, centre.lat);
}

std::int32_t GlobeEngine::ellipsoidDistance(const LLPoint& p1, const LLPoint& p2) const
{
    return wl::ellipsoidDistance(p1, p2, spheroid);
}

void GlobeEngine::centreOnLL(std::int32_t lon, std::int32_t lat)
{
    m_model->setOrigin(m_w / 2, m_h / 2);
    LLPoint p;
    screenToLL(m_w / 2, m_h / 2, p);
    setRotation(2, gmath::saturate32(std::int64_t{m_model->xRotation()} + lat - p.lat));
    setRotation(1, gmath::saturate32(std::int64_t{m_model->yRotation()} + lon - p.lon));
    m_rerender = true;
    redraw();
}

void GlobeEngine::centreOnObject(GlobeObject* object)
{
    if (!object || !hasSurface())
        return;
    if (object->state & GlobeObject::BoundsStale) {
        object->state &=
            ~(GlobeObject::BoundsStale | GlobeObject::TooSmall | GlobeObject::OnScreen);
        object->updateBounds();
    }
    const GURect& b = object->bounds();
    centreOnLL(b.left + (b.right - b.left) / 2, b.bottom + (b.top - b.bottom) / 2);
}

void GlobeEngine::scrollBy(std::int32_t dx, std::int32_t dy)
{
    const long double s = scaleFactor();
    m_model->setOrigin(gmath::saturate32(m_model->cx() - std::llround(dx * s)),
                       gmath::saturate32(m_model->cy() - std::llround(dy * s)));
    m_rerender = true;
    redraw();
}

GlobeView GlobeEngine::saveView() const
{
    GlobeView v;
    v.scale = scaleFactor();
    v.cx = m_model->cx();
    v.cy = m_model->cy();
    v.xRotation = m_model->xRotation();
    v.yRotation = m_model->yRotation();
    v.yRotationAgain = m_model->yRotation();
    return v;
}

void GlobeEngine::restoreView(const GlobeView& v)
{
    setScaleFactor(v.scale);
    setRotation(2, v.xRotation);
    setRotation(1, v.yRotation);
    setRotation(1, v.yRotationAgain);
    setScreenOrigin(ScreenPoint{v.cx, v.cy});
}

void GlobeEngine::viewChanged()
{
    m_rerender = true;
    // While a turn converges on its point, the objects are marked once, at the end.
    if (settlingEngine == this)
        return;
    markBoundsStale();
    redraw();
}

void GlobeEngine::redraw()
{
    m_redraw = true;
    pictureStale();
}

// --- layers ----------------------------------------------------------------------------

GlobeLayer& GlobeEngine::layer(int index) const
{
    GlobeLayer* l = m_layers.layer(index);
    if (!l)
        throw GlobeException("TGlobeControl.GetLayer: Bad layer index " + std::to_string(index));
    return *l;
}

GlobeLayer& GlobeEngine::addLayer(const std::string& name)
{
    return m_layers.addLayer(name);
}

void GlobeEngine::clearLayers()
{
    m_layers.clear();
    if (!m_destroying)
        setScaleFactor(0);
}

QString GlobeEngine::profileName() const
{
    return QString::fromStdString(m_layers.profileName());
}

void GlobeEngine::setProfileName(const QString& name)
{
    if (name == profileName())
        return;
    clearLayers();
    m_layers.openProfile(name.toStdString(), QCoreApplication::applicationDirPath().toStdString(),
                         m_dataFolder.toStdString(), [this](const std::string& message) {
                             const QString text = QString::fromStdString(message);
                             if (onLayerWarning)
                                 onLayerWarning(text);
                             else
                                 showLayerWarning(text);
                         });
    redraw();
}

void GlobeEngine::saveProfile()
{
    m_layers.saveProfile();
}

GlobeObject* GlobeEngine::objectAt(std::int32_t lon, std::int32_t lat)
{
    if (!hasSurface())
        return nullptr;
    for (int i = m_layers.count() - 1; i >= 0; --i) {
        if (GlobeObject* o = m_layers.layer(i)->objectAt(lon, lat))
            return o;
    }
    return nullptr;
}

GlobeObject* GlobeEngine::selectableObjectAt(int x, int y)
{
    for (int i = m_layers.count() - 1; i >= 0; --i) {
        GlobeLayer& l = *m_layers.layer(i);
        if (!l.enabled || !l.visible)
            continue;
        if (GlobeObject* o = l.selectableObjectAt(x, y))
            return o;
    }
    return nullptr;
}

template <class Find>
GlobeObject* GlobeEngine::findAcross(const GlobeObject* after, Find find) const
{
    if (m_layers.count() == 0)
        return nullptr;
    int start = 0;
    if (after) {
        for (int i = 0; i < m_layers.count(); ++i) {
            if (&after->layer() == m_layers.layer(i))
                start = i;
        }
    }
    for (int i = start; i < m_layers.count(); ++i) {
        if (GlobeObject* o = find(*m_layers.layer(i), i == start ? after : nullptr))
            return o;
    }
    return nullptr;
}

GlobeObject* GlobeEngine::findByTitle(const std::string& title, const GlobeObject* after) const
{
    return findAcross(after,
                      [&](GlobeLayer& l, const GlobeObject* a) { return l.findByTitle(title, a); });
}

GlobeObject* GlobeEngine::findByObjectID(std::int32_t id, const GlobeObject* after) const
{
    return findAcross(after,
                      [&](GlobeLayer& l, const GlobeObject* a) { return l.findByObjectID(id, a); });
}

GlobeObject* GlobeEngine::findByRowID(std::int32_t id, const GlobeObject* after) const
{
    return findAcross(after,
                      [&](GlobeLayer& l, const GlobeObject* a) { return l.findByRowID(id, a); });
}

// --- selection and events --------------------------------------------------------------

GlobeObject* GlobeEngine::selectedObjectValue() const
{
    return m_selection.empty() ? nullptr : m_selection.back();
}

void GlobeEngine::setSelectedObject(GlobeObject* object)
{
    if (object && object == selectedObjectValue())
        return;
    while (!m_selection.empty())
        m_selection.back()->setSelected(false); // leaves the list through removeFromSelection
    if (object)
        object->setSelected(true);
    if (onSelected)
        onSelected();
}

void GlobeEngine::addToSelection(GlobeObject& object)
{
    if (std::find(m_selection.begin(), m_selection.end(), &object) == m_selection.end())
        m_selection.push_back(&object);
}

void GlobeEngine::removeFromSelection(GlobeObject& object)
{
    const auto it = std::find(m_selection.begin(), m_selection.end(), &object);
    if (it != m_selection.end())
        m_selection.erase(it);
}

void GlobeEngine::objectCreated(GlobeObject& object)
{
    ++m_contentVersion;
    if (onObjectCreate)
        onObjectCreate(object);
}

void GlobeEngine::objectFreed(GlobeObject& object)
{
    ++m_contentVersion;
    removeFromSelection(object);
    if (onObjectFree)
        onObjectFree(object);
}

void GlobeEngine::objectSelected(GlobeObject& object)
{
    if (onObjectSelect)
        onObjectSelect(object);
}

void GlobeEngine::progress(int type, const std::string& text)
{
    // Loading reports progress only; an abort asked for here has nothing to stop.
    doProgress(type, QString::fromStdString(text));
}

bool GlobeEngine::doProgress(int type, const QString& text)
{
    bool abort = false;
    if (onProgress)
        onProgress(type, text, abort);
    return abort;
}

bool GlobeEngine::renderAttributes(GlobeObject& object)
{
    bool done = false;
    if (onRenderAttributes)
        onRenderAttributes(object, done);
    return done;
}

// --- rendering -------------------------------------------------------------------------

void GlobeEngine::drawBackground(QPainter& painter)
{
    if (m_background.isNull()) {
        painter.fillRect(QRect(0, 0, m_w, m_h), PainterCanvas::toQColor(m_color));
        return;
    }
    const int bw = m_background.width(), bh = m_background.height();
    for (int y = 0; y <= (m_h / bh) * bh; y += bh) {
        for (int x = 0; x <= (m_w / bw) * bw; x += bw)
            painter.drawImage(x, y, m_background);
    }
}

void GlobeEngine::renderStatic(Canvas& canvas)
{
    renderStatic(canvas, m_rerender, m_redraw);
}

void GlobeEngine::renderStatic(Canvas& canvas, bool rerender, bool redraw)
{
    canvas.setBrush(BrushData{m_globeColor, 0});
    canvas.setPen(PenData{m_globeColor, 0, 1});
    const int n = m_model->outline();
    std::vector<ScreenPoint>& pts = m_model->points();
    const int k = clipShape(pts, n, 255, true, m_w, m_h);
    if (k > 1)
        canvas.drawPolygon(pts.data(), k);
    if (m_drawGrid == DrawGrid::Behind)
        drawGraticule();
    // One placer for every render: its lists keep their room, which a map of a million
    // records would otherwise claim afresh each time.
    LabelPlacer& labels = m_labelPlacer;
    labels.clear();
    if (labelPlacement) {
        // Room for a label of every object, claimed from the system only as it is used.
        std::size_t objects = 0;
        for (int i = 0; i < m_layers.count(); ++i)
            objects += static_cast<std::size_t>(m_layers.layer(i)->objectCount());
        labels.reserve(objects);
    }
    RenderContext ctx{canvas};
    if (labelPlacement)
        ctx.labels = &labels;
    for (int i = 0; i < m_layers.count(); ++i) {
        GlobeLayer& l = *m_layers.layer(i);
        if (!l.animated)
            l.render(ctx, rerender, redraw);
    }
    if (m_drawGrid == DrawGrid::InFront)
        drawGraticule();
    if (onRenderUnderLabels)
        onRenderUnderLabels();
    // Labels go over everything the layers and the handler drew, in order of priority.
    for (const QRect& r : labelKeepOut)
        labels.keepOut(r.left(), r.top(), r.right() + 1, r.bottom() + 1);
    labels.setFrame(m_w, m_h);
    // On the globe no label reaches out past the rim into space.
    if (m_projection == Projection::Spherical)
        labels.setDisc(m_model->cx(), m_model->cy(),
                       static_cast<double>(m_model->scale() * GlobeRadius));
    else
        labels.setDisc(0, 0, 0);
    labels.place(ctx);
    m_placedLabels = labels.placed();
    m_labelsLeftOut = labels.leftOut();
}

void GlobeEngine::renderAnimated(Canvas& canvas)
{
    RenderContext ctx{canvas};
    for (int i = 0; i < m_layers.count(); ++i) {
        GlobeLayer& l = *m_layers.layer(i);
        if (l.animated)
            l.render(ctx, m_rerender, m_redraw);
    }
}

void GlobeEngine::renderOverlay(Canvas& canvas)
{
    canvas.setBrush(brushData);
    canvas.setPen(penData);
    if (onRender)
        onRender();
    renderAnimated(canvas);
    if (onPaint)
        onPaint();
}

QImage GlobeEngine::renderToImage()
{
    syncSurface();
    QImage image(m_w, m_h, QImage::Format_RGB32);
    if (image.isNull())
        return {}; // too large for the memory there is
    {
        QPainter p(&image);
        PainterCanvas canvas(p, &m_textLayouts);
        SurfaceScope scope(*this, canvas);
        if (!scope.ok())
            return {};
        // Bounds are recomputed only when the view changed since the last render.
        m_redraw = true;
        drawBackground(p);
        renderStatic(canvas);
        renderOverlay(canvas);
    }
    m_rerender = false;
    redraw();
    return image;
}

// --- drawing services ------------------------------------------------------------------

void GlobeEngine::drawLLPolyline(Canvas& canvas, const LLPointList& points, std::uint8_t clipCode)
{
    DrawServices(*m_model, canvas, m_w, m_h).polyline(points, clipCode);
}

void GlobeEngine::drawLLLine(Canvas& canvas, const LLPoint& from, const LLPoint& to, int steps)
{
    DrawServices(*m_model, canvas, m_w, m_h).line(from, to, steps);
}

void GlobeEngine::drawGreatCircle(const LLPoint& from, const LLPoint& to, int mode)
{
    if (m_canvas)
        DrawServices(*m_model, *m_canvas, m_w, m_h).greatCircle(from, to, mode);
}

void GlobeEngine::drawGraticule()
{
    if (!m_canvas)
        return;
    m_canvas->setPen(m_gridPen);
    if (onPaintGraticule) {
        onPaintGraticule();
        return;
    }
    DrawServices(*m_model, *m_canvas, m_w, m_h).graticule(m_lonStep, m_latStep);
}

LLPoint GlobeEngine::drawNightShadow(GlobeColor night, GlobeColor twilight, int step, double t)
{
    if (!m_canvas)
        return DrawServices::subsolarPoint(t);
    return DrawServices(*m_model, *m_canvas, m_w, m_h).nightShadow(night, twilight, step, t);
}

LLPoint GlobeEngine::drawNightShadowNow(GlobeColor night, GlobeColor twilight, int step)
{
    return drawNightShadow(night, twilight, step, moment(utcNow()));
}

LLPoint GlobeEngine::drawNightOverlay(GlobeColor night, double t)
{
    const LLPoint sun = DrawServices::subsolarPoint(t);
    if (m_surfacePainter)
        NightOverlay::paint(*m_surfacePainter, *m_model, m_w, m_h, sun,
                            PainterCanvas::toQColor(night));
    return sun;
}

double GlobeEngine::moment(const QDateTime& utc)
{
    return UnixEpochDays + static_cast<double>(utc.toMSecsSinceEpoch()) / 86400000.0;
}

QDateTime GlobeEngine::utcNow() const
{
    return utcClock ? utcClock() : QDateTime::currentDateTimeUtc();
}

void GlobeEngine::showLayerWarning(const QString& message)
{
    qWarning("%s", qUtf8Printable(message));
}

} // namespace wl
