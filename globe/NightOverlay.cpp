#include "globe/NightOverlay.h"

#include "globe/Clipper.h"
#include "globe/PrjModel.h"

#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <vector>

namespace wl {

NightOverlay::Band NightOverlay::bandOf(double sunAltitude)
{
    if (sunAltitude >= 0)
        return Band::Day;
    if (sunAltitude >= -6)
        return Band::Civil;
    if (sunAltitude >= -12)
        return Band::Nautical;
    if (sunAltitude >= -TwilightDepth)
        return Band::Astronomical;
    return Band::Night;
}

double NightOverlay::opacity(double sunAltitude)
{
    // Even steps of darkness per degree: each twilight is a third of the way to night.
    return std::clamp(-sunAltitude / TwilightDepth, 0.0, 1.0) * NightAlpha;
}

double NightOverlay::sunAltitude(const LLPoint& p, const LLPoint& subsolar)
{
    const double px = p.x, py = p.y, pz = p.z;
    const double sx = subsolar.x, sy = subsolar.y, sz = subsolar.z;
    const double d = px * sx + py * sy + pz * sz;
    const double r2 = px * px + py * py + pz * pz;
    const double s2 = sx * sx + sy * sy + sz * sz;
    if (r2 <= 0 || s2 <= 0)
        return 0;
    return std::asin(std::clamp(d / std::sqrt(r2 * s2), -1.0, 1.0)) * 180 / M_PI;
}

void NightOverlay::paint(QPainter& painter, PrjModel& model, int w, int h, const LLPoint& subsolar,
                         const QColor& night)
{
    if (w <= 0 || h <= 0)
        return;
    // One sample at every Cell-th pixel, one beyond each edge; the samples are spread over
    // the pixels between them by the painter's smooth scaling, which gives the soft band
    // without computing the sun at every pixel.
    const int nx = w / Cell + 2, ny = h / Cell + 2;
    std::vector<int> alpha(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny), -1);
    const auto at = [&](int i, int j) -> int& {
        return alpha[static_cast<std::size_t>(j) * static_cast<std::size_t>(nx) +
                     static_cast<std::size_t>(i)];
    };
    for (int j = 0; j < ny; ++j) {
        for (int i = 0; i < nx; ++i) {
            std::int32_t lon = 0, lat = 0;
            if (model.unproject(i * Cell, j * Cell, lon, lat))
                at(i, j) = static_cast<int>(
                    std::lround(opacity(sunAltitude(makeLLPoint(lon, lat), subsolar))));
        }
    }
    QImage veil(nx, ny, QImage::Format_ARGB32_Premultiplied);
    for (int j = 0; j < ny; ++j) {
        auto* line = reinterpret_cast<QRgb*>(veil.scanLine(j));
        for (int i = 0; i < nx; ++i) {
            int a = at(i, j);
            if (a < 0) {
                // Off the map: the darkness of a neighbour on it, so that the blend between
                // samples does not lighten the map's rim (the clip cuts the rest away).
                a = 0;
                for (int dj = -1; dj <= 1; ++dj)
                    for (int di = -1; di <= 1; ++di)
                        if (i + di >= 0 && i + di < nx && j + dj >= 0 && j + dj < ny)
                            a = std::max(a, at(i + di, j + dj));
            }
            // Premultiplied: the colour scaled by its opacity.
            line[i] =
                qRgba(night.red() * a / 255, night.green() * a / 255, night.blue() * a / 255, a);
        }
    }
    painter.save();
    // Only the map is veiled, not the space around the globe.
    std::vector<ScreenPoint>& pts = model.points();
    const int n = clipShape(pts, model.outline(), 255, true, w, h);
    if (n > 2) {
        QPolygon outline(n);
        for (int k = 0; k < n; ++k)
            outline[k] =
                QPoint(pts[static_cast<std::size_t>(k)].x, pts[static_cast<std::size_t>(k)].y);
        // A region of spans clips far faster than a path, and the veil's edge is soft anyway.
        painter.setClipRegion(QRegion(outline), Qt::IntersectClip);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    // Sample i lies at pixel i * Cell: its texel is centred there.
    painter.drawImage(QRectF(-Cell / 2.0, -Cell / 2.0, nx * Cell, ny * Cell), veil);
    painter.restore();
}

} // namespace wl
