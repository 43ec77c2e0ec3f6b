#include "globe/GlobeControl.h"

#include "globe/Clipper.h"
#include "globe/DrawServices.h"
#include "globe/GlobeAttribute.h"
#include "globe/GlobeException.h"
#include "globe/GlobeMath.h"
#include "globe/GlobeObject.h"
#include "globe/PainterCanvas.h"
#include "globe/RenderContext.h"
#include "globe/SphericalPrj.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace wl {

namespace {

constexpr long double MaxScale = 4;
constexpr int MinZoomDrag = 10;
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

} // namespace

// Makes a canvas the surface of the objects' drawing services while a render runs, and
// refuses a second render while one is running (printing and message boxes can let other
// events through).
class GlobeControl::SurfaceScope
{
public:
    SurfaceScope(GlobeControl& c, Canvas& canvas) : m_c(c), m_ok(!c.m_rendering)
    {
        if (m_ok) {
            m_c.m_rendering = true;
            m_c.m_canvas = &canvas;
        }
    }
    ~SurfaceScope()
    {
        if (m_ok) {
            m_c.m_canvas = nullptr;
            m_c.m_rendering = false;
        }
    }
    bool ok() const { return m_ok; }

private:
    GlobeControl& m_c;
    bool m_ok;
};

GlobeControl::GlobeControl(QWidget* parent)
    : QWidget(parent), m_model(std::make_unique<SphericalPrj>(*this)), m_layers(*this, *this)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    if (const QScreen* s = QGuiApplication::primaryScreen())
        m_screenPpi = std::max(1, static_cast<int>(std::lround(s->logicalDotsPerInch())));
    resize(150, 150);
    setSurface(150, 150, m_screenPpi);
    setScaleFactor(0);
}

GlobeControl::~GlobeControl()
{
    m_destroying = true;
    clearLayers();
}

// --- properties ------------------------------------------------------------------------

void GlobeControl::setBackground(const QImage& image)
{
    m_background = image;
    redraw();
}

void GlobeControl::setLongitudeStep(int degrees)
{
    if (degrees < 0 || degrees > 179)
        return;
    m_lonStep = degrees;
    redraw();
}

void GlobeControl::setLatitudeStep(int degrees)
{
    if (degrees < 0 || degrees > 89)
        return;
    m_latStep = degrees;
    redraw();
}

void GlobeControl::setDrawGrid(DrawGrid g)
{
    m_drawGrid = g;
    redraw();
}

void GlobeControl::setGridPen(const PenData& p)
{
    m_gridPen = p;
    redraw();
}

void GlobeControl::setSelectedPen(const PenData& p)
{
    m_selectedPen = p;
    redraw();
}

void GlobeControl::setSelectedBrush(const BrushData& b)
{
    m_selectedBrush = b;
    redraw();
}

void GlobeControl::setGlobeColor(GlobeColor c)
{
    m_globeColor = c;
    redraw();
}

void GlobeControl::setColor(GlobeColor c)
{
    m_color = c;
    redraw();
}

void GlobeControl::setMinTextHeight(int h)
{
    m_minTextHeight = h;
    redraw();
}

// --- view ------------------------------------------------------------------------------

long double GlobeControl::scaleFactor() const
{
    return m_model->scale();
}

void GlobeControl::setSurface(int w, int h, int ppi)
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

void GlobeControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    syncSurface();
}

void GlobeControl::syncSurface()
{
    // A hidden window gets its resize event only when shown; views and renders of a hidden
    // control must still use its real size.
    if (width() == m_w && height() == m_h)
        return;
    setSurface(width(), height(), m_screenPpi);
    m_picture = QImage();
    m_overlay = QImage();
    redraw();
}

void GlobeControl::markBoundsStale()
{
    for (int i = 0; i < m_layers.count(); ++i) {
        GlobeLayer& l = *m_layers.layer(i);
        for (int k = 0; k < l.objectCount(); ++k)
            l.object(k)->state |= GlobeObject::BoundsStale;
    }
}

void GlobeControl::applyScale(long double x)
{
    m_viewRect = GURect{0, 0, gmath::round32(m_w / x), gmath::round32(m_h / x)};
    m_model->setView(m_model->xRotation(), m_model->yRotation(), x, m_model->zRotation());
    markBoundsStale();
    m_rerender = m_redraw = true;
    if (onZoomed)
        onZoomed();
    update();
}

void GlobeControl::setScaleFactor(long double x)
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
        x = limitScale(x, m_w, m_h);
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

void GlobeControl::zoomToRect(const GURect& r)
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

std::int32_t GlobeControl::rotation(int index) const
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

void GlobeControl::setRotation(int index, std::int32_t value)
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

ScreenPoint GlobeControl::screenOrigin() const
{
    return ScreenPoint{m_model->cx(), m_model->cy()};
}

void GlobeControl::setScreenOrigin(ScreenPoint p)
{
    if (p.x == m_model->cx() && p.y == m_model->cy())
        return;
    m_model->setOrigin(p.x, p.y);
    m_rerender = true;
    redraw();
}

bool GlobeControl::screenToLL(int x, int y, LLPoint& p) const
{
    std::int32_t lon = 0, lat = 0;
    if (m_model->unproject(x, y, lon, lat)) {
        p = makeLLPoint(lon, lat);
        return true;
    }
    p = llPoint(GU180, GU180);
    return false;
}

void GlobeControl::centreOnLL(std::int32_t lon, std::int32_t lat)
{
    m_model->setOrigin(m_w / 2, m_h / 2);
    LLPoint p;
    screenToLL(m_w / 2, m_h / 2, p);
    setRotation(2, gmath::saturate32(std::int64_t{m_model->xRotation()} + lat - p.lat));
    setRotation(1, gmath::saturate32(std::int64_t{m_model->yRotation()} + lon - p.lon));
    m_rerender = true;
    redraw();
}

void GlobeControl::centreOnObject(GlobeObject* object)
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

void GlobeControl::scrollBy(std::int32_t dx, std::int32_t dy)
{
    const long double s = scaleFactor();
    m_model->setOrigin(gmath::saturate32(m_model->cx() - std::llround(dx * s)),
                       gmath::saturate32(m_model->cy() - std::llround(dy * s)));
    m_rerender = true;
    redraw();
}

GlobeView GlobeControl::saveView() const
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

void GlobeControl::restoreView(const GlobeView& v)
{
    setScaleFactor(v.scale);
    setRotation(2, v.xRotation);
    setRotation(1, v.yRotation);
    setRotation(1, v.yRotationAgain);
    setScreenOrigin(ScreenPoint{v.cx, v.cy});
}

void GlobeControl::viewChanged()
{
    m_rerender = true;
    markBoundsStale();
    redraw();
}

void GlobeControl::redraw()
{
    m_redraw = true;
    if (!m_overlay.isNull())
        m_overlay.fill(Qt::transparent);
    update();
}

// --- layers ----------------------------------------------------------------------------

GlobeLayer& GlobeControl::layer(int index) const
{
    GlobeLayer* l = m_layers.layer(index);
    if (!l)
        throw GlobeException("TGlobeControl.GetLayer: Bad layer index " + std::to_string(index));
    return *l;
}

GlobeLayer& GlobeControl::addLayer(const std::string& name)
{
    return m_layers.addLayer(name);
}

void GlobeControl::clearLayers()
{
    m_layers.clear();
    if (!m_destroying)
        setScaleFactor(0);
}

QString GlobeControl::profileName() const
{
    return QString::fromStdString(m_layers.profileName());
}

void GlobeControl::setProfileName(const QString& name)
{
    if (name == profileName())
        return;
    clearLayers();
    m_layers.openProfile(name.toStdString(), QCoreApplication::applicationDirPath().toStdString(),
                         m_dataFolder.toStdString(), [this](const std::string& message) {
                             const QString text = QString::fromStdString(message);
                             if (onLayerWarning) {
                                 onLayerWarning(text);
                                 return;
                             }
                             QMessageBox box(QMessageBox::Warning,
                                             QStringLiteral("TGlobeControl Component"), text,
                                             QMessageBox::Ok, this);
                             box.setTextFormat(Qt::PlainText);
                             box.exec();
                         });
    redraw();
}

void GlobeControl::saveProfile()
{
    m_layers.saveProfile();
}

GlobeObject* GlobeControl::objectAt(std::int32_t lon, std::int32_t lat)
{
    if (!hasSurface())
        return nullptr;
    for (int i = m_layers.count() - 1; i >= 0; --i) {
        if (GlobeObject* o = m_layers.layer(i)->objectAt(lon, lat))
            return o;
    }
    return nullptr;
}

GlobeObject* GlobeControl::selectableObjectAt(int x, int y)
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
GlobeObject* GlobeControl::findAcross(const GlobeObject* after, Find find) const
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

GlobeObject* GlobeControl::findByTitle(const std::string& title, const GlobeObject* after) const
{
    return findAcross(after,
                      [&](GlobeLayer& l, const GlobeObject* a) { return l.findByTitle(title, a); });
}

GlobeObject* GlobeControl::findByObjectID(std::int32_t id, const GlobeObject* after) const
{
    return findAcross(after,
                      [&](GlobeLayer& l, const GlobeObject* a) { return l.findByObjectID(id, a); });
}

GlobeObject* GlobeControl::findByRowID(std::int32_t id, const GlobeObject* after) const
{
    return findAcross(after,
                      [&](GlobeLayer& l, const GlobeObject* a) { return l.findByRowID(id, a); });
}

// --- selection and events --------------------------------------------------------------

GlobeObject* GlobeControl::selectedObjectValue() const
{
    return m_selection.empty() ? nullptr : m_selection.back();
}

void GlobeControl::setSelectedObject(GlobeObject* object)
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

void GlobeControl::addToSelection(GlobeObject& object)
{
    if (std::find(m_selection.begin(), m_selection.end(), &object) == m_selection.end())
        m_selection.push_back(&object);
}

void GlobeControl::removeFromSelection(GlobeObject& object)
{
    const auto it = std::find(m_selection.begin(), m_selection.end(), &object);
    if (it != m_selection.end())
        m_selection.erase(it);
}

void GlobeControl::objectCreated(GlobeObject& object)
{
    if (onObjectCreate)
        onObjectCreate(object);
}

void GlobeControl::objectFreed(GlobeObject& object)
{
    removeFromSelection(object);
    if (onObjectFree)
        onObjectFree(object);
}

void GlobeControl::objectSelected(GlobeObject& object)
{
    if (onObjectSelect)
        onObjectSelect(object);
}

void GlobeControl::progress(int type, const std::string& text)
{
    bool abort = false;
    if (onProgress)
        onProgress(type, QString::fromStdString(text), abort);
}

bool GlobeControl::renderAttributes(GlobeObject& object)
{
    bool done = false;
    if (onRenderAttributes)
        onRenderAttributes(object, done);
    return done;
}

void GlobeControl::beginBusy()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void GlobeControl::endBusy()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::restoreOverrideCursor();
}

// --- rendering -------------------------------------------------------------------------

void GlobeControl::drawBackground(Canvas&, QPainter& painter)
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

void GlobeControl::renderStatic(Canvas& canvas)
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
    RenderContext ctx{canvas};
    for (int i = 0; i < m_layers.count(); ++i) {
        GlobeLayer& l = *m_layers.layer(i);
        if (!l.animated)
            l.render(ctx, m_rerender, m_redraw);
    }
    if (m_drawGrid == DrawGrid::InFront)
        drawGraticule();
}

void GlobeControl::renderAnimated(Canvas& canvas)
{
    RenderContext ctx{canvas};
    for (int i = 0; i < m_layers.count(); ++i) {
        GlobeLayer& l = *m_layers.layer(i);
        if (l.animated)
            l.render(ctx, m_rerender, m_redraw);
    }
}

void GlobeControl::renderOverlay(Canvas& canvas)
{
    canvas.setBrush(brushData);
    canvas.setPen(penData);
    if (onRender)
        onRender();
    renderAnimated(canvas);
    if (onPaint)
        onPaint();
}

void GlobeControl::paintEvent(QPaintEvent*)
{
    if (m_rendering)
        return; // a print or image render is running; its end asks for a new picture
    syncSurface();
    if (m_picture.size() != QSize(m_w, m_h)) {
        m_picture = QImage(m_w, m_h, QImage::Format_RGB32);
        m_redraw = true;
    }
    if (m_rerender || m_redraw) {
        QPainter p(&m_picture);
        PainterCanvas canvas(p);
        SurfaceScope scope(*this, canvas);
        try {
            drawBackground(canvas, p);
            renderStatic(canvas);
            canvas.setBrush(brushData);
            canvas.setPen(penData);
            if (onRender)
                onRender();
        } catch (const std::exception&) {
            // The picture shows what was drawn; the window still gets its overlay below.
        }
    }
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
    if (!m_overlay.isNull())
        p.drawImage(0, 0, m_overlay);
    if (m_zooming) {
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(m_zoomRect.normalized());
    }
    PainterCanvas canvas(p);
    {
        SurfaceScope scope(*this, canvas);
        renderAnimated(canvas);
        if (onPaint)
            onPaint();
    }
    m_rerender = m_redraw = false;
}

QImage GlobeControl::renderToImage()
{
    syncSurface();
    QImage image(m_w, m_h, QImage::Format_RGB32);
    {
        QPainter p(&image);
        PainterCanvas canvas(p);
        SurfaceScope scope(*this, canvas);
        if (!scope.ok())
            return {};
        // Bounds are recomputed only when the view changed since the last render.
        m_redraw = true;
        drawBackground(canvas, p);
        renderStatic(canvas);
        renderOverlay(canvas);
    }
    m_rerender = false;
    redraw();
    return image;
}

bool GlobeControl::print(QPrinter& printer)
{
    if (m_rendering)
        return false;
    printer.setDocName(QStringLiteral("TGlobeControl Print"));
    QPainter p;
    if (!p.begin(&printer))
        return false;
    const int ppi = printer.resolution();
    const QRect page = printer.pageLayout().paintRectPixels(ppi);
    const int w = std::min(page.width(), static_cast<int>(gmath::mulDiv(m_w, ppi, m_screenPpi)));
    const int h = std::min(page.height(), static_cast<int>(gmath::mulDiv(m_h, ppi, m_screenPpi)));
    const int oldW = m_w, oldH = m_h;
    setSurface(w, h, ppi);
    {
        BusyScope busy(*this);
        PainterCanvas canvas(p);
        SurfaceScope scope(*this, canvas);
        m_rerender = m_redraw = true;
        markBoundsStale();
        p.setClipRect(QRect(0, 0, w, h));
        renderStatic(canvas);
        renderOverlay(canvas);
    }
    p.end();
    setSurface(oldW, oldH, m_screenPpi);
    markBoundsStale();
    m_rerender = true;
    redraw();
    return true;
}

// --- drawing services ------------------------------------------------------------------

void GlobeControl::drawLLPolyline(Canvas& canvas, const LLPointList& points, std::uint8_t clipCode)
{
    DrawServices(*m_model, canvas, m_w, m_h).polyline(points, clipCode);
}

void GlobeControl::drawLLLine(Canvas& canvas, const LLPoint& from, const LLPoint& to, int steps)
{
    DrawServices(*m_model, canvas, m_w, m_h).line(from, to, steps);
}

void GlobeControl::drawGreatCircle(const LLPoint& from, const LLPoint& to, int mode)
{
    if (m_canvas) {
        DrawServices(*m_model, *m_canvas, m_w, m_h).greatCircle(from, to, mode);
        return;
    }
    // Outside a render the line goes into the overlay, which the next redraw clears.
    if (m_overlay.size() != QSize(m_w, m_h)) {
        m_overlay = QImage(m_w, m_h, QImage::Format_ARGB32_Premultiplied);
        m_overlay.fill(Qt::transparent);
    }
    QPainter p(&m_overlay);
    PainterCanvas canvas(p);
    canvas.setPen(penData);
    DrawServices(*m_model, canvas, m_w, m_h).greatCircle(from, to, mode);
    update();
}

void GlobeControl::drawGraticule()
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

LLPoint GlobeControl::drawNightShadow(GlobeColor night, GlobeColor twilight, int step, double t)
{
    if (!m_canvas)
        return DrawServices::subsolarPoint(t);
    return DrawServices(*m_model, *m_canvas, m_w, m_h).nightShadow(night, twilight, step, t);
}

LLPoint GlobeControl::drawNightShadowNow(GlobeColor night, GlobeColor twilight, int step)
{
    const QDateTime now = utcClock ? utcClock() : QDateTime::currentDateTimeUtc();
    const double t = UnixEpochDays + static_cast<double>(now.toMSecsSinceEpoch()) / 86400000.0;
    return drawNightShadow(night, twilight, step, t);
}

// --- mouse -----------------------------------------------------------------------------

bool GlobeControl::isButton(const QMouseEvent* e, MouseButton b) const
{
    switch (b) {
    case MouseButton::Left:
        return e->button() == Qt::LeftButton;
    case MouseButton::Right:
        return e->button() == Qt::RightButton;
    case MouseButton::Middle:
        return e->button() == Qt::MiddleButton;
    default:
        return false;
    }
}

void GlobeControl::mousePressEvent(QMouseEvent* e)
{
    if (m_zooming) {
        m_zooming = false;
        update();
        return;
    }
    const QPoint pos = e->position().toPoint();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (multiSelect && ctrl && isButton(e, mouseSelectButton)) {
        if (GlobeObject* o = selectableObjectAt(pos.x(), pos.y()))
            o->setSelected(!o->selected());
    }
    if (e->modifiers() & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier))
        return;
    if (isButton(e, mouseZoomButton)) {
        m_zooming = true;
        m_zoomRect = QRect(QPoint(pos.x(), pos.y()), QPoint(pos.x() + 1, pos.y() + 1));
    }
    if (isButton(e, mouseSelectButton))
        setSelectedObject(selectableObjectAt(pos.x(), pos.y()));
    if (isButton(e, mouseRotateButton) && screenToLL(pos.x(), pos.y(), m_anchor))
        m_rotating = true;
}

void GlobeControl::mouseDoubleClickEvent(QMouseEvent*)
{
    // A double click neither selects, zooms nor turns again: the first press did.
}

void GlobeControl::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pos = e->position().toPoint();
    if (m_zooming) {
        m_zoomRect.setBottomRight(pos);
        update();
    }
    LLPoint p;
    if (m_rotating && screenToLL(pos.x(), pos.y(), p)) {
        std::int64_t d = std::int64_t{m_anchor.lon} - p.lon;
        if (d > GU180)
            d -= GU360;
        else if (d < -GU180)
            d += GU360;
        m_model->setView(
            gmath::saturate32(std::int64_t{m_model->xRotation()} + m_anchor.lat - p.lat),
            gmath::saturate32(m_model->yRotation() + d), scaleFactor(), m_model->zRotation());
        LLPoint again;
        if (screenToLL(pos.x(), pos.y(), again))
            m_anchor = again;
    }
}

void GlobeControl::mouseReleaseEvent(QMouseEvent*)
{
    if (m_zooming) {
        m_zooming = false;
        const QRect r = m_zoomRect;
        if (r.right() - r.left() >= MinZoomDrag && r.bottom() - r.top() >= MinZoomDrag) {
            const long double s = scaleFactor();
            zoomToRect(GURect{gmath::round32(r.left() / s), gmath::round32(r.top() / s),
                              gmath::round32(r.right() / s), gmath::round32(r.bottom() / s)});
        } else {
            update();
        }
    }
    m_rotating = false;
}

void GlobeControl::wheelEvent(QWheelEvent* e)
{
    // Scrolling moves the view a twentieth of its size per notch, as the scroll bars do.
    const int notches = e->angleDelta().y() / 120;
    const int sideways = e->angleDelta().x() / 120;
    const std::int32_t stepY = std::max(1, (m_viewRect.bottom - m_viewRect.top) / 20);
    const std::int32_t stepX = std::max(1, (m_viewRect.right - m_viewRect.left) / 20);
    if (notches || sideways)
        scrollBy(-sideways * stepX, -notches * stepY);
}

} // namespace wl
