#pragma once

#include "globe/DrawStyle.h"
#include "globe/GlobeClassRegistry.h"
#include "globe/GlobeHost.h"
#include "globe/GlobeView.h"
#include "globe/LabelPlacer.h"
#include "globe/LayerHost.h"
#include "globe/LayerSet.h"
#include "globe/PrjHost.h"
#include "globe/ScreenPoint.h"
#include "globe/Spheroid.h"
#include "globe/TextLayoutCache.h"

#include <QDateTime>
#include <QImage>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

namespace wl {

class Canvas;
class PainterCanvas;
class PrjModel;

// The globe without a window: it owns the projection, the layers with their objects, the view
// and the look of the globe, and renders them onto any QPainter surface. The globe control
// shows it in a window; a program without widgets renders it into images. What a window adds
// (painting, scroll bars, the mouse, busy cursors, message boxes) comes through the protected
// hooks, which do nothing here.
class GlobeEngine : public GlobeHost, public PrjHost, public LayerHost
{
public:
    enum class Projection
    {
        Spherical,
        Cartesian,
        Mercator,
    };
    enum class DrawGrid
    {
        Behind,
        InFront,
        None,
    };

    GlobeEngine();
    ~GlobeEngine() override;
    GlobeEngine(const GlobeEngine&) = delete;
    GlobeEngine& operator=(const GlobeEngine&) = delete;

    // Properties.
    // Default folder of layer files named without a folder.
    QString dataFolder() const { return m_dataFolder; }
    void setDataFolder(const QString& folder) { m_dataFolder = folder; }
    // Labels are placed so that none overlaps another, in order of priority; off, every
    // label is written where its object is, as it comes.
    bool labelPlacement = true;
    // The labels the last render placed, in screen pixels.
    const std::vector<LabelPlacer::Placed>& placedLabels() const { return m_placedLabels; }
    // Records of grouping layers the last render could neither name nor count on the map.
    int labelsLeftOut() const { return m_labelsLeftOut; }
    // Parts of the surface no label may cover, such as overlays a render handler draws
    // over the map; in surface pixels.
    std::vector<QRect> labelKeepOut;
    PenData penData{0, 0, 1};
    BrushData brushData{16777215, 0};
    FontData fontData{"Arial", 0, 0, 12, GlobeUnits::NauticalMile, 16777215};

    void setBackground(const QImage& image);
    int longitudeStep() const { return m_lonStep; }
    void setLongitudeStep(int degrees);
    int latitudeStep() const { return m_latStep; }
    void setLatitudeStep(int degrees);
    void setDrawGrid(DrawGrid g);
    void setGridPen(const PenData& p);
    void setSelectedPen(const PenData& p);
    void setSelectedBrush(const BrushData& b);
    void setGlobeColor(GlobeColor c);
    void setColor(GlobeColor c);
    void setMinTextHeight(int h);

    // The surface a window-less globe renders on, in pixels; a window sets it from its size.
    void setSurfaceSize(int w, int h);

    Projection projectionKind() const { return m_projection; }
    // Replaces the projection model, keeping the point at the surface centre and the scale
    // when that point is on the map, else fitting the whole map.
    void setProjection(Projection p);
    // Ellipsoid of ellipsoidDistance.
    Spheroid spheroid = Spheroid::WGS84;
    // Length of the geodesic between two points on that ellipsoid, in GU.
    std::int32_t ellipsoidDistance(const LLPoint& p1, const LLPoint& p2) const;

    long double scaleFactor() const;
    // 0 fits the whole map and centres it; at most 4 pixels per GU, and no deeper than
    // minViewAcross allows.
    void setScaleFactor(long double x);
    // r in view GU (device position / scale); an empty r fits the whole map. A small r zooms
    // in no further than maxZoomStep and minViewAcross allow.
    void zoomToRect(const GURect& r);
    // Limits of zooming in, so that a tiny rectangle or a fast wheel never dives into a view
    // with nothing to see: one zoom step multiplies the scale by at most maxZoomStep, and the
    // smaller side of the surface never shows less than minViewAcross GU. 0 leaves either open.
    long double maxZoomStep = 0;
    std::int32_t minViewAcross = 0;
    // The scale a zoom towards wanted ends at under those limits (step: one user step).
    long double limitZoom(long double wanted, bool step) const;
    // Scales by factor (limited as one step) keeping the point under (x, y) where it is.
    void zoomAbout(int x, int y, long double factor);
    // Moves the view so that p shows at (x, y): the globe turns under it, a flat map slides.
    // False when (x, y) is off the map and the globe could not be turned there.
    bool bringUnder(const LLPoint& p, int x, int y);
    // Rotation by index: low bits 0 = Z, 1 = Y, 2 = X; +4 degrees, +8 minutes, +16 seconds.
    std::int32_t rotation(int index) const;
    void setRotation(int index, std::int32_t value);
    ScreenPoint screenOrigin() const;
    void setScreenOrigin(ScreenPoint p);
    // False and (972,000,000, 972,000,000) off the map.
    bool screenToLL(int x, int y, LLPoint& p) const;
    void centreOnLL(std::int32_t lon, std::int32_t lat);
    void centreOnObject(GlobeObject* object);
    void scrollBy(std::int32_t dx, std::int32_t dy);
    GlobeView saveView() const;
    void restoreView(const GlobeView& view);

    // Adds a class that layer files may hold; throws GlobeException for a name already
    // registered. Layer files write their blocks in registration order.
    void registerGlobeClass(const std::string& name, GlobeClassRegistry::Factory factory)
    {
        m_registry.add(name, std::move(factory));
    }
    template <class T> void registerGlobeClass(const std::string& name) { m_registry.add<T>(name); }
    const GlobeClassRegistry* classRegistry() const override { return &m_registry; }

    // Layers and the profile.
    LayerSet& layers() { return m_layers; }
    GlobeLayer& layer(int index) const; // throws GlobeException for a bad index
    int layerCount() const { return m_layers.count(); }
    GlobeLayer& addLayer(const std::string& name);
    void clearLayers();
    QString profileName() const;
    void setProfileName(const QString& name);
    void saveProfile();

    GlobeObject* objectAt(std::int32_t lon, std::int32_t lat);
    GlobeObject* selectableObjectAt(int x, int y);
    GlobeObject* findByTitle(const std::string& title, const GlobeObject* after) const;
    GlobeObject* findByObjectID(std::int32_t id, const GlobeObject* after) const;
    GlobeObject* findByRowID(std::int32_t id, const GlobeObject* after) const;

    int selectedCount() const { return static_cast<int>(m_selection.size()); }
    GlobeObject* selectedObjectValue() const;
    void setSelectedObject(GlobeObject* object);

    // The whole picture with the animated layers, as a new image of the surface's size.
    QImage renderToImage();

    // Drawing services on the surface being rendered.
    void drawLLPolyline(Canvas& canvas, const LLPointList& points, std::uint8_t clipCode) override;
    void drawLLLine(Canvas& canvas, const LLPoint& from, const LLPoint& to, int steps) override;
    // Outside a render the globe control draws the line over its picture; a globe without a
    // window draws it only during a render.
    virtual void drawGreatCircle(const LLPoint& from, const LLPoint& to, int mode);
    // The painter of the render in progress (picture, image or printer page), for a render
    // handler that draws more than the drawing services offer; nullptr outside a render.
    QPainter* surfacePainter() const { return m_surfacePainter; }
    void drawGraticule();
    // At moment t (days since 30 December 1899, UTC); step as for DrawServices.
    LLPoint drawNightShadow(GlobeColor night, GlobeColor twilight, int step, double t);
    // The same for the current time of the UTC clock.
    LLPoint drawNightShadowNow(GlobeColor night, GlobeColor twilight, int step);
    // The night as a translucent veil with the twilight as a soft band, at moment t; returns
    // the point with the sun overhead.
    LLPoint drawNightOverlay(GlobeColor night, double t);
    // Moment t of a UTC date and time.
    static double moment(const QDateTime& utc);
    // The UTC clock's current time.
    QDateTime utcNow() const;
    // True UTC by default; tests set a fixed moment.
    std::function<QDateTime()> utcClock;

    // Events, raised only when assigned.
    std::function<void()> onRender;
    // Raised during a render after the layers and before the labels, so that what it draws
    // (a night shadow) lies under the labels and leaves them readable.
    std::function<void()> onRenderUnderLabels;
    std::function<void()> onPaint;
    std::function<void()> onPaintGraticule;
    std::function<void()> onZoomed;
    std::function<void()> onSelected;
    std::function<void(int type, const QString& text, bool& abort)> onProgress;
    std::function<void(GlobeObject&, bool& done)> onRenderAttributes;
    std::function<void(GlobeObject&)> onObjectCreate;
    std::function<void(GlobeObject&)> onObjectFree;
    std::function<void(GlobeObject&)> onObjectSelect;
    // A layer that failed while a profile opened; when not assigned, the globe control shows
    // a warning box and a globe without a window writes it to the warning log.
    std::function<void(const QString& message)> onLayerWarning;

    // GlobeHost
    PrjModel& projection() override { return *m_model; }
    int surfacePixelsPerInch() const override { return m_ppi; }
    int screenPixelsPerInch() const override { return m_screenPpi; }
    int minTextHeight() const override { return m_minTextHeight; }
    PenData pen() const override { return penData; }
    BrushData brush() const override { return brushData; }
    FontData font() const override { return fontData; }
    PenData selectedPen() const override { return m_selectedPen; }
    BrushData selectedBrush() const override { return m_selectedBrush; }
    void redraw() override;
    void invalidate() override {}
    void addToSelection(GlobeObject& object) override;
    void removeFromSelection(GlobeObject& object) override;
    void objectCreated(GlobeObject& object) override;
    void objectFreed(GlobeObject& object) override;
    void objectSelected(GlobeObject& object) override;

    // PrjHost
    int surfaceWidth() const override { return m_w; }
    int surfaceHeight() const override { return m_h; }
    void viewChanged() override;

    // LayerHost
    void progress(int type, const std::string& text) override;
    const IniFile* profile() const override { return m_layers.profile(); }
    std::string dataDirectory() const override { return m_dataFolder.toStdString(); }
    bool hasSurface() const override { return m_w > 0 && m_h > 0; }
    GlobeObject* selectedObject() const override { return selectedObjectValue(); }
    void clearSelectedObject() override { setSelectedObject(nullptr); }
    bool renderAttributes(GlobeObject& object) override;
    bool periodicUpdate() const override { return false; }
    void showProgressPicture() override {}
    void layersChanged() override { ++m_contentVersion; }
    // Raises onProgress; true when the handler asked to abort.
    bool doProgress(int type, const QString& text);

protected:
    // Makes a canvas the surface of the objects' drawing services while a render runs, and
    // refuses a second render while one is running.
    class SurfaceScope
    {
    public:
        SurfaceScope(GlobeEngine& engine, PainterCanvas& canvas);
        ~SurfaceScope();
        SurfaceScope(const SurfaceScope&) = delete;
        SurfaceScope& operator=(const SurfaceScope&) = delete;
        bool ok() const { return m_ok; }

    private:
        GlobeEngine& m_engine;
        bool m_ok;
    };

    // Hooks of a window around the globe.
    // Brings the surface to the window's size before the view or a render uses it.
    virtual void syncSurface() {}
    // The picture must be rendered again (the view or the content changed).
    virtual void pictureStale() {}
    // A projection change asked for while a render runs; the window makes it afterwards.
    virtual void deferProjection(Projection) {}
    // A new projection model took the old one's place (its extent may differ).
    virtual void modelReplaced() {}
    // A layer of the profile failed and no handler is assigned.
    virtual void showLayerWarning(const QString& message);

    void setSurface(int w, int h, int ppi);
    void markBoundsStale();
    void applyScale(long double x);
    void drawBackground(QPainter& painter);
    void renderStatic(Canvas& canvas);
    void renderStatic(Canvas& canvas, bool rerender, bool redraw);
    void renderAnimated(Canvas& canvas);
    void renderOverlay(Canvas& canvas);

    std::unique_ptr<PrjModel> m_model;
    LayerSet m_layers;
    Canvas* m_canvas = nullptr;           // the surface of the render in progress
    QPainter* m_surfacePainter = nullptr; // with m_canvas, during a render
    TextLayoutCache m_textLayouts;        // labels of the window's renders (not of prints)
    int m_w = 0, m_h = 0, m_ppi = 96, m_screenPpi = 96;
    GURect m_viewRect;
    bool m_rerender = true;
    bool m_redraw = true;
    bool m_rendering = false; // guards paint, print and image renders against re-entry
    bool m_destroying = false;
    std::uint64_t m_contentVersion = 0; // counts additions and removals of layers and objects

private:
    template <class Find> GlobeObject* findAcross(const GlobeObject* after, Find find) const;

    QString m_dataFolder;
    GlobeClassRegistry m_registry;
    Projection m_projection = Projection::Spherical;
    std::vector<GlobeObject*> m_selection;
    QImage m_background;
    int m_lonStep = 15, m_latStep = 15;
    DrawGrid m_drawGrid = DrawGrid::Behind;
    LabelPlacer m_labelPlacer;
    std::vector<LabelPlacer::Placed> m_placedLabels;
    int m_labelsLeftOut = 0;
    PenData m_gridPen{12632256, 0, 1};
    PenData m_selectedPen{255, 0, 1};
    BrushData m_selectedBrush{65535, 0};
    GlobeColor m_globeColor = 16776960;
    GlobeColor m_color = 0;
    int m_minTextHeight = 5;
};

} // namespace wl
