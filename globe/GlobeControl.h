#pragma once

#include "globe/GlobeEngine.h"

#include <QImage>
#include <QWidget>

#include <memory>

class QPainter;
class QPrinter;
class QScrollBar;

namespace wl {

// The window that shows the globe engine: an off-screen picture that is rebuilt only after a
// change of view or content and otherwise copied. It zooms with a rubber band, turns the globe
// by dragging, selects objects with the mouse, scrolls and prints.
class GlobeControl : public QWidget, public GlobeEngine
{
    Q_OBJECT

public:
    enum class MouseButton
    {
        None,
        Left,
        Right,
        Middle,
    };
    enum class ScrollBars
    {
        None,
        Horizontal,
        Vertical,
        Both,
    };

    explicit GlobeControl(QWidget* parent = nullptr);
    ~GlobeControl() override;

    // The engine's font for new text objects, not the window's.
    using GlobeEngine::font;

    // Properties.
    MouseButton mouseZoomButton = MouseButton::Right;
    MouseButton mouseSelectButton = MouseButton::Left;
    MouseButton mouseRotateButton = MouseButton::Left;
    bool multiSelect = false;
    bool periodicUpdateEnabled = true;
    // Turning by hand: a drag with the middle button, or with Shift and the left button (for
    // touchpads), carries the grabbed point of the globe with the pointer; a flat map slides.
    bool handTurning = false;
    // The wheel zooms about the pointer instead of scrolling.
    bool wheelZooms = false;
    // Each notch of the wheel multiplies the scale by this.
    static constexpr long double WheelZoomStep = 1.25L;
    // Whether a press starts a hand turn.
    bool isTurnPress(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) const;

    ScrollBars scrollBars() const { return m_scrollBars; }
    // Bars along the bottom and right edges; the map gets the rest of the window.
    void setScrollBars(ScrollBars s);
    QScrollBar* horizontalScrollBar() const { return m_hBar.get(); }
    QScrollBar* verticalScrollBar() const { return m_vBar.get(); }

    // Prints what the window shows onto the printer's page (or PDF file), scaled to its
    // resolution; false when a print is already running.
    bool print(QPrinter& printer);
    // The same, placed at r's top left on the page and cut to its size.
    bool printRect(QPrinter& printer, const QRect& r);

    // During a render the line is drawn on its surface; outside one it goes into an overlay
    // over the picture that the next redraw clears.
    void drawGreatCircle(const LLPoint& from, const LLPoint& to, int mode) override;
    // Shows the picture again at once without the overlay's lines, rendering nothing.
    void refresh();
    // Whether lines drawn outside a render are on show.
    bool hasOverlayLines() const { return m_overlayLines; }

    // GlobeHost
    void redraw() override;
    void invalidate() override { update(); }

    // LayerHost
    bool periodicUpdate() const override { return periodicUpdateEnabled; }
    // During a long render of the picture started from the event loop, shows the half-finished
    // picture and lets pending non-input events run; elsewhere nothing. When those events
    // added or freed layers or objects, the render stops here (the objects it was walking may
    // be gone) and a new one follows.
    void showProgressPicture() override;
    void beginBusy() override;
    void endBusy() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    // GlobeEngine
    void syncSurface() override;
    void pictureStale() override;
    void deferProjection(Projection p) override;
    void modelReplaced() override { setScrollRanges(); }
    void showLayerWarning(const QString& message) override;

private:
    QSize clientSize() const;
    void layoutScrollBars();
    void setScrollRanges();
    void syncScrollPositions();
    void scrollAction(Qt::Orientation o, int action);
    bool printTo(QPrinter& printer, QPainter& p, const QRect& r);
    void schedulePicture();
    void renderPictureProgressively();
    void renderPicture(bool rerender, bool redraw);
    void clearOverlay();
    void turnTo(const QPoint& pos);
    bool isButton(const QMouseEvent* e, MouseButton b) const;

    ScrollBars m_scrollBars = ScrollBars::None;
    std::unique_ptr<QScrollBar> m_hBar, m_vBar; // children of this window
    QImage m_picture;
    QImage m_overlay;
    bool m_overlayLines = false;
    bool m_pictureScheduled = false;
    bool m_progressive = false;     // the picture render may show its steps
    bool m_showingProgress = false; // a paint of the half-finished picture
    bool m_pictureFresh = false;    // rendered ahead of the paint that shows it
    bool m_renderStopped = false;   // a progressive render stopped by a change of content
    bool m_zooming = false;
    QRect m_zoomRect;
    bool m_rotating = false;
    LLPoint m_anchor;
    bool m_turning = false;   // a hand turn is in progress
    bool m_turnOnMap = false; // it grabbed a point of the map (else a flat map slides)
    QPoint m_turnFrom;        // the pointer at the last step of the turn
};

} // namespace wl
