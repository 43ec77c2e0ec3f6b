#pragma once

#include "globe/GlobeView.h"

#include <QString>

#include <optional>

namespace wl {

// The back/forward history of the map's views in the file "view.dt": fixed 32-byte view
// records with no header. Every render that is not the result of Back or Forward appends the
// view when it differs from the file's last record; Back and Forward walk the file by record
// number.
class ViewHistory
{
public:
    explicit ViewHistory(QString path) : m_path(std::move(path)) {}

    const QString& path() const { return m_path; }
    // Deletes the file and starts an empty history.
    void reset();

    // The history step of a render: records the view unless the render follows Back or
    // Forward. False with errorString() set when the file could not be read or written.
    bool recordRender(const GlobeView& view);
    // The history step of a render that is never recorded (the first of the program run).
    void skipRender() { m_navigating = false; }
    // Back and Forward: the view to show, or none when there is nothing to show.
    std::optional<GlobeView> back();
    std::optional<GlobeView> forward();

    int count() const { return m_count; }
    int position() const { return m_position; }
    bool canGoBack() const { return m_backEnabled; }
    bool canGoForward() const { return m_forwardEnabled; }
    QString errorString() const { return m_error; }

    // The two views count as the same place: scales equal as 32-bit floats, rotations equal.
    static bool sameView(const GlobeView& a, const GlobeView& b);

private:
    std::optional<GlobeView> page(int number);
    std::optional<GlobeView> lastRecord(bool& ok);
    bool append(const GlobeView& view);

    QString m_path;
    int m_count = 0;
    int m_position = 0;
    bool m_navigating = false;
    bool m_backEnabled = false;
    bool m_forwardEnabled = false;
    QString m_error;
};

} // namespace wl
