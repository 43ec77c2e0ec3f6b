#include "globe/LabelPlacer.h"

#include "globe/Canvas.h"
#include "globe/GlobeFont.h"
#include "globe/GlobeObject.h"
#include "globe/RenderContext.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace wl {

namespace {

constexpr int CellSize = 32;

std::int64_t cellKey(int cx, int cy)
{
    return (static_cast<std::int64_t>(cx) << 32) ^ static_cast<std::uint32_t>(cy);
}

int cellOf(int v)
{
    return v >= 0 ? v / CellSize : -((-v + CellSize - 1) / CellSize);
}

// A halo that stands out from the text: dark round light text, light round dark text.
GlobeColor haloFor(GlobeColor text)
{
    const int r = text & 0xFF, g = (text >> 8) & 0xFF, b = (text >> 16) & 0xFF;
    return r * 299 + g * 587 + b * 114 > 128000 ? 0x202020 : 0xFFFFFF;
}

} // namespace

void LabelPlacer::clear()
{
    m_labels.clear();
    m_blocks.clear();
    m_keepOut.clear();
}

int LabelPlacer::overlapping(int left, int top, int right, int bottom, int except) const
{
    for (int cy = cellOf(top); cy <= cellOf(bottom - 1); ++cy) {
        for (int cx = cellOf(left); cx <= cellOf(right - 1); ++cx) {
            const auto it = m_cells.find(cellKey(cx, cy));
            if (it == m_cells.end())
                continue;
            for (const int i : it->second) {
                const Placed& p = m_placed[static_cast<std::size_t>(i)];
                if (i != except && left < p.right && p.left < right && top < p.bottom &&
                    p.top < bottom)
                    return i;
            }
        }
    }
    return -1;
}

void LabelPlacer::keepOut(int left, int top, int right, int bottom)
{
    m_keepOut.push_back({left, top, right, bottom, {}});
}

bool LabelPlacer::keptOut(int left, int top, int right, int bottom) const
{
    if (m_frameWidth > 0 && (left < 0 || top < 0 || right > m_frameWidth || bottom > m_frameHeight))
        return true;
    if (m_discRadius > 0) {
        // The corner farthest from the centre decides.
        const double dx = std::max(std::abs(left - m_discX), std::abs(right - m_discX));
        const double dy = std::max(std::abs(top - m_discY), std::abs(bottom - m_discY));
        if (dx * dx + dy * dy > m_discRadius * m_discRadius)
            return true;
    }
    return std::any_of(m_keepOut.begin(), m_keepOut.end(), [&](const Placed& k) {
        return left < k.right && k.left < right && top < k.bottom && k.top < bottom;
    });
}

int LabelPlacer::preferredBlocker(int current, int candidate) const
{
    if (current < 0)
        return candidate;
    if (candidate < 0)
        return current;
    const auto isRecord = [&](int placed) {
        const Block& b =
            m_blocks[static_cast<std::size_t>(m_placedBlock[static_cast<std::size_t>(placed)])];
        return m_labels[static_cast<std::size_t>(b.members.front())].group;
    };
    return !isRecord(current) && isRecord(candidate) ? candidate : current;
}

bool LabelPlacer::isFree(int left, int top, int right, int bottom, int except) const
{
    return overlapping(left, top, right, bottom, except) < 0;
}

void LabelPlacer::occupy(int index)
{
    const Placed& p = m_placed[static_cast<std::size_t>(index)];
    for (int cy = cellOf(p.top); cy <= cellOf(p.bottom - 1); ++cy)
        for (int cx = cellOf(p.left); cx <= cellOf(p.right - 1); ++cx)
            m_cells[cellKey(cx, cy)].push_back(index);
}

// The titles of a block, a few of them and then how many more there are.
std::vector<std::string> LabelPlacer::linesOf(const Block& b) const
{
    const int n = static_cast<int>(b.members.size());
    const int shown = n + b.extra <= MaxGroupLines ? n : std::min(n, MaxGroupLines);
    std::vector<std::string> lines;
    for (int i = 0; i < shown; ++i)
        lines.push_back(
            *m_labels[static_cast<std::size_t>(b.members[static_cast<std::size_t>(i)])].text);
    if (n + b.extra > shown) {
        // Appended piece by piece: GCC 12 warns wrongly about overlap for a literal + string.
        std::string more(1, '+');
        more += std::to_string(n + b.extra - shown);
        more += " more";
        lines.push_back(std::move(more));
    }
    return lines;
}

int LabelPlacer::tryPlace(RenderContext& ctx, Block& b)
{
    const Label& l = m_labels[static_cast<std::size_t>(b.members.front())];
    const int h = m_lineHeight;
    // Right below, right above, left below, left above: the first that is free. The square
    // next to the point rules a spot out before the text is measured.
    const struct
    {
        bool right;
        bool above;
    } spots[] = {{true, false}, {true, true}, {false, false}, {false, true}};
    bool open[4];
    bool any = false;
    int blocker = -1;
    for (int i = 0; i < 4; ++i) {
        const int left = spots[i].right ? l.x + l.offset : l.x - l.offset - h;
        const int top = spots[i].above ? l.y - h : l.y;
        const int k = overlapping(left, top, left + h, top + h, -1);
        open[i] = k < 0 && !keptOut(left, top, left + h, top + h);
        any = any || open[i];
        blocker = preferredBlocker(blocker, k);
    }
    if (!any)
        return blocker;
    std::vector<std::string> lines = linesOf(b);
    ScreenPoint size = ctx.canvas.textBlockExtent(lines, MaxLineHeights * h);
    if (l.group && static_cast<int>(lines.size()) <= MaxGroupLines) {
        // Room for a count of the records that may yet find no room of their own.
        lines.push_back("+9999 more");
        size = ctx.canvas.textBlockExtent(lines, MaxLineHeights * h);
        lines.pop_back();
    }
    const int w = size.x, bh = size.y;
    for (int i = 0; i < 4; ++i) {
        if (!open[i])
            continue;
        const int left = spots[i].right ? l.x + l.offset : l.x - l.offset - w;
        const int top = spots[i].above ? l.y - bh : l.y;
        if (keptOut(left, top, left + w, top + bh))
            continue;
        const int k = overlapping(left, top, left + w, top + bh, -1);
        if (k >= 0) {
            blocker = preferredBlocker(blocker, k);
            continue;
        }
        b.placed = static_cast<int>(m_placed.size());
        m_placed.push_back({left, top, left + w, top + bh, std::move(lines)});
        m_placedBlock.push_back(static_cast<int>(&b - m_blocks.data()));
        occupy(b.placed);
        return -1;
    }
    return blocker;
}

void LabelPlacer::orderByPriority()
{
    // Higher rank first, then higher weight, then the earlier label. Ranks are few and a
    // layer's labels mostly come in weight order already (a million records share one rank
    // and weight): labels are dealt out by rank, keeping their order, and a rank is sorted by
    // weight only when it is not in that order yet.
    std::vector<int> ranks;
    for (const Label& l : m_labels) {
        if (std::find(ranks.begin(), ranks.end(), l.rank) == ranks.end())
            ranks.push_back(l.rank);
    }
    std::sort(ranks.begin(), ranks.end(), std::greater<>());
    m_order.clear();
    m_order.reserve(m_labels.size());
    for (const int rank : ranks) {
        const auto first = m_order.end() - m_order.begin();
        for (std::size_t i = 0; i < m_labels.size(); ++i) {
            if (m_labels[i].rank == rank)
                m_order.push_back(static_cast<int>(i));
        }
        const auto heavier = [&](int a, int b) {
            return m_labels[static_cast<std::size_t>(a)].weight >
                   m_labels[static_cast<std::size_t>(b)].weight;
        };
        if (!std::is_sorted(m_order.begin() + first, m_order.end(), heavier))
            std::stable_sort(m_order.begin() + first, m_order.end(), heavier);
    }
}

void LabelPlacer::indexCells()
{
    m_heads.clear();
    m_gridHeads.clear();
    m_gridCols = m_gridRows = 0;
    // A grid over the grouping labels' cells, when it is not much larger than their number
    // (the labels of one view); a hash of cells otherwise.
    int minX = 0, minY = 0, maxX = -1, maxY = -1;
    std::size_t grouped = 0;
    for (const Label& l : m_labels) {
        if (!l.group)
            continue;
        const int gx = l.x / GroupRadius, gy = l.y / GroupRadius;
        if (grouped++ == 0) {
            minX = maxX = gx;
            minY = maxY = gy;
        }
        minX = std::min(minX, gx);
        maxX = std::max(maxX, gx);
        minY = std::min(minY, gy);
        maxY = std::max(maxY, gy);
    }
    if (grouped == 0)
        return;
    const std::int64_t cols = std::int64_t{maxX} - minX + 3, rows = std::int64_t{maxY} - minY + 3;
    if (cols * rows > std::int64_t{4} * static_cast<std::int64_t>(grouped) + 500000)
        return;
    m_gridX = minX - 1;
    m_gridY = minY - 1;
    m_gridCols = static_cast<int>(cols);
    m_gridRows = static_cast<int>(rows);
    m_gridHeads.resize(static_cast<std::size_t>(cols * rows));
}

std::vector<int>* LabelPlacer::headsAt(int cx, int cy, bool create)
{
    if (m_gridCols > 0) {
        const int gx = cx - m_gridX, gy = cy - m_gridY;
        if (gx < 0 || gy < 0 || gx >= m_gridCols || gy >= m_gridRows)
            return nullptr; // outside every grouping label's neighbourhood
        std::vector<int>& cell =
            m_gridHeads[static_cast<std::size_t>(gy) * static_cast<std::size_t>(m_gridCols) +
                        static_cast<std::size_t>(gx)];
        return create || !cell.empty() ? &cell : nullptr;
    }
    if (create)
        return &m_heads[cellKey(cx, cy)];
    const auto it = m_heads.find(cellKey(cx, cy));
    return it == m_heads.end() ? nullptr : &it->second;
}

void LabelPlacer::place(RenderContext& ctx)
{
    m_placed.clear();
    m_placedBlock.clear();
    m_cells.clear();
    m_blocks.clear();
    m_leftOut = 0;
    orderByPriority();
    // Labels of a grouping layer at nearly the same spot become one block.
    indexCells();
    m_blocks.reserve(m_order.size());
    for (const int i : m_order) {
        const Label& l = m_labels[static_cast<std::size_t>(i)];
        if (l.group) {
            const int gx = l.x / GroupRadius, gy = l.y / GroupRadius;
            int joined = -1;
            for (int dy = -1; dy <= 1 && joined < 0; ++dy) {
                for (int dx = -1; dx <= 1 && joined < 0; ++dx) {
                    const std::vector<int>* cell = headsAt(gx + dx, gy + dy, false);
                    if (!cell)
                        continue;
                    for (const int bi : *cell) {
                        const Label& h = m_labels[static_cast<std::size_t>(
                            m_blocks[static_cast<std::size_t>(bi)].members.front())];
                        if (std::abs(h.x - l.x) <= GroupRadius &&
                            std::abs(h.y - l.y) <= GroupRadius && h.font == l.font) {
                            joined = bi;
                            break;
                        }
                    }
                }
            }
            if (joined >= 0) {
                m_blocks[static_cast<std::size_t>(joined)].members.push_back(i);
                continue;
            }
            headsAt(gx, gy, true)->push_back(static_cast<int>(m_blocks.size()));
        }
        m_blocks.push_back({{i}, 0, -1});
    }

    const GlobeFont* lastFont = nullptr;
    std::uint8_t lastState = 0;
    const auto useFont = [&](const Label& l) {
        if (l.font == lastFont && l.state == lastState)
            return;
        lastFont = l.font;
        lastState = l.state;
        l.font->apply(ctx, l.state);
        m_lineHeight = std::max(1, ctx.canvas.textBlockExtent({std::string("X")}, 1 << 20).y);
    };
    for (Block& b : m_blocks) {
        const Label& l = m_labels[static_cast<std::size_t>(b.members.front())];
        useFont(l);
        const int blocker = tryPlace(ctx, b);
        if (b.placed >= 0 || !l.group)
            continue;
        // A record without room is counted by the record label in its way, which kept room
        // for the count; with none in its way it is counted as left out.
        const int members = static_cast<int>(b.members.size());
        Block* other = blocker < 0 ? nullptr
                                   : &m_blocks[static_cast<std::size_t>(
                                         m_placedBlock[static_cast<std::size_t>(blocker)])];
        if (other && m_labels[static_cast<std::size_t>(other->members.front())].group)
            other->extra += members;
        else
            m_leftOut += members;
    }
    for (Block& b : m_blocks) {
        if (b.placed >= 0 && b.extra > 0)
            m_placed[static_cast<std::size_t>(b.placed)].lines = linesOf(b);
    }

    const bool wasTransparent = ctx.canvas.transparentText();
    ctx.canvas.setTransparentText(true);
    for (std::size_t k = 0; k < m_placed.size(); ++k) {
        const Block& b = m_blocks[static_cast<std::size_t>(m_placedBlock[k])];
        const Label& l = m_labels[static_cast<std::size_t>(b.members.front())];
        useFont(l);
        const Placed& p = m_placed[k];
        ctx.canvas.drawTextBlock(p.left, p.top, p.lines, MaxLineHeights * m_lineHeight,
                                 haloFor(l.state & GlobeObject::Selected ? 255 : l.font->color));
    }
    ctx.canvas.setTransparentText(wasTransparent);
    m_labels.clear();
    m_blocks.clear();
    m_keepOut.clear();
}

} // namespace wl
