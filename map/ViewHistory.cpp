#include "map/ViewHistory.h"

#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace wl {

namespace {

constexpr qint64 RecordSize = static_cast<qint64>(GlobeView::Size);

GlobeView fromBytes(const QByteArray& bytes, qint64 at)
{
    std::array<std::uint8_t, GlobeView::Size> record{};
    std::memcpy(record.data(), bytes.constData() + at, GlobeView::Size);
    return GlobeView::fromBytes(record);
}

} // namespace

void ViewHistory::reset()
{
    QFile::remove(m_path);
    m_count = 0;
    m_position = 0;
    m_navigating = false;
    m_backEnabled = false;
    m_forwardEnabled = false;
}

bool ViewHistory::sameView(const GlobeView& a, const GlobeView& b)
{
    return static_cast<float>(a.scale) == static_cast<float>(b.scale) &&
           a.xRotation == b.xRotation && a.yRotation == b.yRotation;
}

bool ViewHistory::recordRender(const GlobeView& view)
{
    const bool navigated = m_navigating;
    m_navigating = false;
    if (navigated)
        return true;
    bool ok = true;
    const std::optional<GlobeView> last = lastRecord(ok);
    if (!ok)
        return false;
    if (!last || !sameView(*last, view)) {
        if (!append(view))
            return false;
        ++m_count;
    }
    if (m_count > 1)
        m_backEnabled = true;
    m_position = m_count;
    m_forwardEnabled = false;
    return true;
}

std::optional<GlobeView> ViewHistory::back()
{
    m_navigating = true;
    m_forwardEnabled = true;
    --m_position;
    if (m_position < 2)
        m_backEnabled = false;
    return page(m_position);
}

std::optional<GlobeView> ViewHistory::forward()
{
    m_navigating = true;
    m_backEnabled = true;
    ++m_position;
    if (m_position >= m_count)
        m_forwardEnabled = false;
    return page(m_position);
}

// Only whole records count: a file cut short by a failed write keeps its complete records.
std::optional<GlobeView> ViewHistory::page(int number)
{
    QFile file(m_path);
    if (number < 1 || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    const qint64 at = (number - 1) * RecordSize;
    if (at + RecordSize > bytes.size())
        return std::nullopt;
    return fromBytes(bytes, at);
}

std::optional<GlobeView> ViewHistory::lastRecord(bool& ok)
{
    QFile file(m_path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        ok = false;
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    const qint64 whole = bytes.size() / RecordSize;
    if (whole == 0)
        return std::nullopt;
    return fromBytes(bytes, (whole - 1) * RecordSize);
}

// The file is written anew with its whole records and the new one, so a broken tail never
// shifts the records after it and a failed write leaves the previous file as it was.
bool ViewHistory::append(const GlobeView& view)
{
    QByteArray bytes;
    QFile old(m_path);
    if (old.open(QIODevice::ReadOnly)) {
        bytes = old.readAll();
        bytes.truncate(bytes.size() / RecordSize * RecordSize);
    }
    const auto record = view.toBytes();
    bytes.append(reinterpret_cast<const char*>(record.data()), RecordSize);
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_error = file.errorString();
        return false;
    }
    return true;
}

} // namespace wl
