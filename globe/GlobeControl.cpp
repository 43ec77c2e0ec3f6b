#include "globe/GlobeControl.h"

#include "globe/CartesianPrj.h"
#include "globe/Clipper.h"
#include "globe/DrawServices.h"
#include "globe/Geodesy.h"
#include "globe/GlobeAttribute.h"
#include "globe/GlobeException.h"
#include "globe/GlobeMath.h"
#include "globe/GlobeObject.h"
#include "globe/LabelPlacer.h"
#include "globe/MercatorPrj.h"
#include "globe/PainterCanvas.h"
#include "globe/RenderContext.h"
#include "globe/SphericalPrj.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

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

std::unique_ptr<PrjModel> makeModel(GlobeControl::Projection p, PrjHost& host)
{
    switch (p) {
    case GlobeControl::Projection::Cartesian:
        return std::make_unique<CartesianPrj>(host);
    case GlobeControl::Projection::Mercator:
        return std::make_unique<MercatorPrj>(host);
    case GlobeControl::Projection::Spherical:
        break;
    }
    return std::make_unique<SphericalPrj>(host);
}

// Unwinds a progressive render whose layers or objects changed while it let events run.
struct RenderStopped : std::exception
{
    const char* what() const noexcept override { return "render stopped"; }
};

} // namespace

// Makes a canvas the surface of the objects' drawing services while a render runs, and
// refuses a second render while one is running (printing and message boxes can let other
// events through).
class GlobeControl::SurfaceScope
{
public:
    SurfaceScope(GlobeControl& c, PainterCanvas& canvas) : m_c(c), m_ok(!c.m_rendering)
    {
        if (m_ok) {
            m_c.m_rendering = true;
            m_c.m_canvas = &canvas;
            m_c.m_surfacePainter = &canvas.painter();
        }
    }
    ~SurfaceScope()
    {
        if (m_ok) {
            m_c.m_canvas = nullptr;
            m_c.m_surfacePainter = nullptr;
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
    setScrollBars(ScrollBars::Both);
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
    layoutScrollBars();
    // A render in progress paints into the current picture; its final paint resizes.
    if (!m_rendering)
        syncSurface();
}

void GlobeControl::syncSurface()
{
    // A hidden window gets its resize event only when shown; views and renders of a hidden
    // control must still use its real size.
    const QSize client = clientSize();
    if (client.width() == m_w && client.height() == m_h)
        return;
    setSurface(client.width(), client.height(), m_screenPpi);
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
    schedulePicture();
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

// --- scroll bars -----------------------------------------------------------------------

void GlobeControl::setScrollBars(ScrollBars s)
{
    if (s == m_scrollBars)
        return;
    m_scrollBars = s;
    const auto makeBar = [this](std::unique_ptr<QScrollBar>& bar, Qt::Orientation o, bool want) {
        if (!want) {
            bar.reset();
            return;
        }
        if (bar)
            return;
        bar = std::make_unique<QScrollBar>(o, this);
        connect(bar.get(), &QAbstractSlider::actionTriggered, this,
                [this, o](int action) { scrollAction(o, action); });
        bar->show();
    };
    makeBar(m_hBar, Qt::Horizontal, s == ScrollBars::Horizontal || s == ScrollBars::Both);
    makeBar(m_vBar, Qt::Vertical, s == ScrollBars::Vertical || s == ScrollBars::Both);
    setScrollRanges();
    layoutScrollBars();
    if (!m_rendering)
        syncSurface();
    update();
}

QSize GlobeControl::clientSize() const
{
    const int bw = m_vBar ? m_vBar->sizeHint().width() : 0;
    const int bh = m_hBar ? m_hBar->sizeHint().height() : 0;
    return {std::max(0, width() - bw), std::max(0, height() - bh)};
}

void GlobeControl::layoutScrollBars()
{
    const QSize c = clientSize();
    if (m_hBar)
        m_hBar->setGeometry(0, c.height(), c.width(), height() - c.height());
    if (m_vBar)
        m_vBar->setGeometry(c.width(), 0, width() - c.width(), c.height());
}

// The ranges cover twice the model's extent, at most a whole turn each way.
void GlobeControl::setScrollRanges()
{
    const GURect& e = m_model->extent();
    const auto reach = [](std::int32_t edge) {
        return static_cast<int>(2 *
                                std::min<std::int64_t>(486000000, std::abs(std::int64_t{edge})));
    };
    if (m_hBar)
        m_hBar->setRange(-reach(e.left), reach(e.right));
    if (m_vBar)
        m_vBar->setRange(-reach(e.top), reach(e.bottom));
}

void GlobeControl::syncScrollPositions()
{
    const long double s = m_model->scale();
    if (m_hBar)
        m_hBar->setValue(-gmath::round32((m_model->cx() - m_w / 2) / s));
    if (m_vBar)
        m_vBar->setValue(-gmath::round32((m_model->cy() - m_h / 2) / s));
}

// Line and page steps scroll the view by a twentieth or a half of what it shows; the thumb
// itself is put back by the next paint.
void GlobeControl::scrollAction(Qt::Orientation o, int action)
{
    const bool horizontal = o == Qt::Horizontal;
    const std::int32_t w =
        horizontal ? m_viewRect.right - m_viewRect.left : m_viewRect.bottom - m_viewRect.top;
    const std::int32_t step = std::max<std::int32_t>(1, w / 20);
    std::int32_t amount = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        amount = -step;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        amount = step;
        break;
    case QAbstractSlider::SliderPageStepSub:
        amount = -(w / 2);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        amount = w / 2;
        break;
    default:
        return;
    }
    if (horizontal)
        scrollBy(amount, 0);
    else
        scrollBy(0, amount);
}

void GlobeControl::setProjection(Projection p)
{
    if (p == m_projection)
        return;
    if (m_rendering) {
        // The render in progress draws through the current model; swap it afterwards.
        QTimer::singleShot(0, this, [this, p] { setProjection(p); });
        return;
    }
    LLPoint centre;
    const bool onMap = screenToLL(m_w / 2, m_h / 2, centre);
    m_model = makeModel(p, *this);
    m_projection = p;
    setScrollRanges();
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

std::int32_t GlobeControl::ellipsoidDistance(const LLPoint& p1, const LLPoint& p2) const
{
    return wl::ellipsoidDistance(p1, p2, spheroid);
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
    clearOverlay();
    update();
    schedulePicture();
}

void GlobeControl::refresh()
{
    clearOverlay();
    repaint();
}

void GlobeControl::clearOverlay()
{
    if (!m_overlay.isNull() && m_overlayLines)
        m_overlay.fill(Qt::transparent);
    m_overlayLines = false;
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
    ++m_contentVersion;
    if (onObjectCreate)
        onObjectCreate(object);
}

void GlobeControl::objectFreed(GlobeObject& object)
{
    ++m_contentVersion;
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
    // Loading reports progress only; an abort asked for here has nothing to stop.
    doProgress(type, QString::fromStdString(text));
}

bool GlobeControl::doProgress(int type, const QString& text)
{
    bool abort = false;
    if (onProgress)
        onProgress(type, text, abort);
    return abort;
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
    renderStatic(canvas, m_rerender, m_redraw);
}

void GlobeControl::renderStatic(Canvas& canvas, bool rerender, bool redraw)
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
    LabelPlacer labels;
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
    labels.place(ctx);
    m_placedLabels = labels.placed();
    m_labelsLeftOut = labels.leftOut();
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

// A new picture is rendered from the event loop rather than inside a paint, so that a long
// render can show its steps; a paint that comes first renders it at once.
void GlobeControl::schedulePicture()
{
    if (m_pictureScheduled || !periodicUpdateEnabled)
        return;
    m_pictureScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_pictureScheduled = false;
        renderPictureProgressively();
    });
}

void GlobeControl::renderPictureProgressively()
{
    if (m_rendering || m_destroying || !isVisible() || !(m_rerender || m_redraw))
        return;
    syncSurface();
    const bool rerender = m_rerender, redraw = m_redraw;
    // A change while the steps let events run shows up in these flags again.
    m_rerender = m_redraw = false;
    m_progressive = true;
    m_renderStopped = false;
    renderPicture(rerender, redraw);
    m_progressive = false;
    if (m_renderStopped) {
        // Objects met before the stop were measured for the old content: measure all again.
        m_rerender = true;
        schedulePicture();
        return;
    }
    m_pictureFresh = !(m_rerender || m_redraw);
    m_rerender = m_rerender || rerender;
    m_redraw = m_redraw || redraw;
    repaint();
    // Only that paint may take the picture as it is: one that did not happen (a window not
    // exposed) leaves the next paint to render again.
    m_pictureFresh = false;
}

void GlobeControl::renderPicture(bool rerender, bool redraw)
{
    if (m_picture.size() != QSize(m_w, m_h))
        m_picture = QImage(m_w, m_h, QImage::Format_RGB32);
    QPainter p(&m_picture);
    PainterCanvas canvas(p, &m_textLayouts);
    SurfaceScope scope(*this, canvas);
    if (!scope.ok())
        return;
    try {
        drawBackground(canvas, p);
        renderStatic(canvas, rerender, redraw);
        canvas.setBrush(brushData);
        canvas.setPen(penData);
        if (onRender)
            onRender();
    } catch (const std::exception&) {
        // The picture shows what was drawn; the window still gets its overlay.
    }
}

void GlobeControl::showProgressPicture()
{
    if (!m_progressive || m_showingProgress)
        return;
    m_showingProgress = true;
    repaint();
    const std::uint64_t version = m_contentVersion;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_showingProgress = false;
    if (m_contentVersion != version) {
        m_renderStopped = true;
        throw RenderStopped();
    }
}

void GlobeControl::paintEvent(QPaintEvent*)
{
    if (m_rendering) {
        // Only the steps of a progressive render show the picture being drawn; a print or
        // image render asks for a new picture when it ends.
        if (m_showingProgress)
            QPainter(this).drawImage(0, 0, m_picture);
        return;
    }
    syncSurface();
    if (m_picture.size() != QSize(m_w, m_h)) {
        m_pictureFresh = false;
        m_redraw = true;
    }
    if ((m_rerender || m_redraw) && !m_pictureFresh)
        renderPicture(m_rerender, m_redraw);
    QPainter p(this);
    p.drawImage(0, 0, m_picture);
    if (m_hBar && m_vBar) // the corner between the two bars
        p.fillRect(QRect(m_w, m_h, width() - m_w, height() - m_h), palette().window());
    if (m_overlayLines)
        p.drawImage(0, 0, m_overlay);
    if (m_zooming) {
        p.setPen(QPen(Qt::white, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(m_zoomRect.normalized());
    }
    PainterCanvas canvas(p, &m_textLayouts);
    {
        SurfaceScope scope(*this, canvas);
        renderAnimated(canvas);
        if (onPaint)
            onPaint();
    }
    syncScrollPositions();
    m_rerender = m_redraw = m_pictureFresh = false;
}

QImage GlobeControl::renderToImage()
{
    syncSurface();
    QImage image(m_w, m_h, QImage::Format_RGB32);
    {
        QPainter p(&image);
        PainterCanvas canvas(p, &m_textLayouts);
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
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    return printTo(printer, p, QRect(0, 0, page.width(), page.height()));
}

bool GlobeControl::printRect(QPrinter& printer, const QRect& r)
{
    if (m_rendering)
        return false;
    printer.setDocName(QStringLiteral("TGlobeControl Print"));
    QPainter p;
    if (!p.begin(&printer))
        return false;
    return printTo(printer, p, r);
}

bool GlobeControl::printTo(QPrinter& printer, QPainter& p, const QRect& r)
{
    const int ppi = printer.resolution();
    const int w = std::min(r.width(), static_cast<int>(gmath::mulDiv(m_w, ppi, m_screenPpi)));
    const int h = std::min(r.height(), static_cast<int>(gmath::mulDiv(m_h, ppi, m_screenPpi)));
    const int oldW = m_w, oldH = m_h;
    setSurface(w, h, ppi);
    {
        BusyScope busy(*this);
        PainterCanvas canvas(p);
        SurfaceScope scope(*this, canvas);
        m_rerender = m_redraw = true;
        markBoundsStale();
        p.translate(r.topLeft());
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
    m_overlayLines = true;
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
