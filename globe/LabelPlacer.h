#pragma once

#include "globe/DrawStyle.h"
#include "globe/ScreenPoint.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace wl {

class Canvas;
class GlobeFont;
struct RenderContext;

// Places the labels of one render as a map does: in priority order, each only where it does
// not overlap a label already placed, tried right and left of its point, below and above it.
// Points are never moved; a label that finds no room is left out. Labels of a grouping layer
// (the user's own records) are never left out silently: labels at nearly the same spot share
// one label that lists a few of them and then "+n more", and a record whose label finds no
// room is counted in the "+n more" of the record label that took its place.
class LabelPlacer
{
public:
    // Labels of a higher rank go first; within a rank the higher weight (a city's population),
    // then the earlier label.
    struct Label
    {
        int x = 0; // the point the label belongs to
        int y = 0;
        int offset = 0; // gap between the point and the text
        const std::string* text = nullptr;
        const GlobeFont* font = nullptr;
        std::uint8_t state = 0; // the object's state, for the font's colour
        int rank = 0;
        std::int32_t weight = 0;
        bool group = false;
    };
    struct Placed
    {
        int left, top, right, bottom; // the text block, right and bottom exclusive
        std::vector<std::string> lines;
    };

    // At most this many titles in a shared label before its "+n more" line.
    static constexpr int MaxGroupLines = 3;
    // Labels within this many pixels of each other share one label.
    static constexpr int GroupRadius = 3;
    // A line longer than this many line heights is cut with the truncation mark.
    static constexpr int MaxLineHeights = 16;

    void add(const Label& label) { m_labels.push_back(label); }
    bool empty() const { return m_labels.empty(); }
    // Forgets the labels and kept-out parts collected so far, keeping the lists' room.
    void clear();
    void reserve(std::size_t labels) { m_labels.reserve(labels); }
    // A part of the surface no label may cover (a scale bar or another overlay drawn over
    // the map); kept until the next place().
    void keepOut(int left, int top, int right, int bottom);
    // The surface's size: a label is placed only where the whole of it can be read, never cut
    // by the surface's edge. Zero for no bounds.
    void setFrame(int width, int height)
    {
        m_frameWidth = width;
        m_frameHeight = height;
    }
    // The disc of a globe seen whole: a label is placed only within it, never hanging off the
    // globe into space. A radius of 0 for none.
    void setDisc(double cx, double cy, double radius)
    {
        m_discX = cx;
        m_discY = cy;
        m_discRadius = radius;
    }
    // Records of a grouping layer that the last place() could neither name nor count in a
    // record label: their way was blocked only by other labels (the home town's) or by a
    // kept-out part. The window reports them, so none vanishes silently.
    int leftOut() const { return m_leftOut; }
    // Places and draws the labels collected so far, then forgets them.
    void place(RenderContext& ctx);
    // What the last place() drew, for checking.
    const std::vector<Placed>& placed() const { return m_placed; }

private:
    struct Block
    {
        std::vector<int> members; // label indexes, the first one's point and font used
        int extra = 0;            // records left out for want of room, counted here
        int placed = -1;          // index into m_placed
    };

    int overlapping(int left, int top, int right, int bottom, int except) const;
    bool keptOut(int left, int top, int right, int bottom) const;
    // Of two labels in the way, the one that can count a record: a record label.
    int preferredBlocker(int current, int candidate) const;
    bool isFree(int left, int top, int right, int bottom, int except) const;
    void orderByPriority();
    // Sets up the cells of the grouping labels; headsAt finds a cell's blocks (nullptr for none
    // unless create).
    void indexCells();
    std::vector<int>* headsAt(int cx, int cy, bool create);
    void occupy(int index);
    std::vector<std::string> linesOf(const Block& b) const;
    // Places the block's label and returns -1, or returns a placed label in its way (-1 when
    // none was met).
    int tryPlace(RenderContext& ctx, Block& b);

    std::vector<Label> m_labels;
    std::vector<Placed> m_placed;
    std::vector<Block> m_blocks;
    std::vector<int> m_order; // labels in priority order
    // Blocks of grouping labels by cell of GroupRadius pixels: a grid over the cells the labels
    // use, or a hash of cells where the grid would be too large.
    std::unordered_map<std::int64_t, std::vector<int>> m_heads;
    std::vector<std::vector<int>> m_gridHeads;
    int m_gridX = 0, m_gridY = 0, m_gridCols = 0, m_gridRows = 0;
    std::vector<int> m_placedBlock; // block of each placed label
    // Placed labels by cell of the screen, for the overlap tests.
    std::unordered_map<std::int64_t, std::vector<int>> m_cells;
    std::vector<Placed> m_keepOut;
    int m_lineHeight = 0;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    double m_discX = 0, m_discY = 0, m_discRadius = 0;
    int m_leftOut = 0;
};

} // namespace wl
