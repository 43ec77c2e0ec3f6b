#include "globe/GlobeControl.h"

#include "globe/DrawServices.h"
#include "globe/GlobeMath.h"
#include "globe/GlobeObject.h"
#include "globe/PainterCanvas.h"
#include "globe/PrjModel.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace wl {

namespace {

constexpr int MinZoomDrag = 10;

// Unwinds a progressive render whose layers or objects changed while it let events run.
struct RenderStopped : std::exception
{
    const char* what() const noexcept override { return "render stopped"; }
};

} // namespace

GlobeControl::GlobeControl(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    resize(150, 150);
    setScrollBars(ScrollBars::Both);
    setScaleFactor(0);
}

GlobeControl::~GlobeControl()
{
    // The layers go while the window is whole: freeing their objects reaches back into it.
    m_destroying = true;
    clearLayers();
}

// --- size and picture ----------------------------------------------------------------

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

void GlobeControl::redraw()
{
    clearOverlay();
    GlobeEngine::redraw();
}

void GlobeControl::pictureStale()
{
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

void GlobeControl::deferProjection(Projection p)
{
    QTimer::singleShot(0, this, [this, p] { setProjection(p); });
}

void GlobeControl::showLayerWarning(const QString& message)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("TGlobeControl Component"), message,
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.exec();
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
        drawBackground(p);
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

void GlobeControl::drawGreatCircle(const LLPoint& from, const LLPoint& to, int mode)
{
    if (m_canvas) {
        GlobeEngine::drawGreatCircle(from, to, mode);
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

bool GlobeControl::isTurnPress(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) const
{
    if (!handTurning)
        return false;
    return button == Qt::MiddleButton ||
           (button == Qt::LeftButton && (modifiers & Qt::ShiftModifier) &&
            !(modifiers & (Qt::ControlModifier | Qt::AltModifier)));
}

void GlobeControl::mousePressEvent(QMouseEvent* e)
{
    if (m_zooming) {
        m_zooming = false;
        update();
        return;
    }
    const QPoint pos = e->position().toPoint();
    if (isTurnPress(e->button(), e->modifiers())) {
        m_turning = true;
        m_turnFrom = pos;
        m_turnOnMap = screenToLL(pos.x(), pos.y(), m_anchor);
        return;
    }
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
    if (m_turning) {
        turnTo(pos);
        return;
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

void GlobeControl::turnTo(const QPoint& pos)
{
    if (m_turnOnMap && bringUnder(m_anchor, pos.x(), pos.y())) {
        m_turnFrom = pos;
        return;
    }
    if (projectionKind() == Projection::Spherical) {
        // Grabbed beside the globe, or dragged off it: the pointer's way turns the globe as
        // much as the same way across the middle of its face would.
        const QPoint d = pos - m_turnFrom;
        m_turnFrom = pos;
        const long double guPerPx = 1 / scaleFactor();
        m_model->setView(gmath::saturate32(m_model->xRotation() + std::llround(d.y() * guPerPx)),
                         gmath::saturate32(m_model->yRotation() - std::llround(d.x() * guPerPx)),
                         scaleFactor(), m_model->zRotation());
        // Back on the globe, the point under the pointer is grabbed again.
        m_turnOnMap = screenToLL(pos.x(), pos.y(), m_anchor);
        return;
    }
    const QPoint d = pos - m_turnFrom;
    m_turnFrom = pos;
    setScreenOrigin(ScreenPoint{m_model->cx() + d.x(), m_model->cy() + d.y()});
}

void GlobeControl::mouseReleaseEvent(QMouseEvent*)
{
    m_turning = false;
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
    if (wheelZooms) {
        // Touchpads send fractions of a notch.
        const double notches = e->angleDelta().y() / 120.0;
        if (notches != 0) {
            const QPoint pos = e->position().toPoint();
            zoomAbout(pos.x(), pos.y(), std::pow(WheelZoomStep, static_cast<long double>(notches)));
        }
        return;
    }
    // Scrolling moves the view a twentieth of its size per notch, as the scroll bars do.
    const int notches = e->angleDelta().y() / 120;
    const int sideways = e->angleDelta().x() / 120;
    const std::int32_t stepY = std::max(1, (m_viewRect.bottom - m_viewRect.top) / 20);
    const std::int32_t stepX = std::max(1, (m_viewRect.right - m_viewRect.left) / 20);
    if (notches || sideways)
        scrollBy(-sideways * stepX, -notches * stepY);
}

} // namespace wl
