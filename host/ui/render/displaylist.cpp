#include "ui/render/displaylist.h"

#include "ui/render/textmetrics.h"

#include <algorithm>
#include <cmath>

namespace hostui {

namespace {
// Average primitives per grid cell; and the most cells a primitive may cover before it
// is kept apart. Both trade the memory of the grid against the work of a window.
constexpr double kItemsPerCell = 4.0;
constexpr int kMaxCellsPerItem = 64;
constexpr int kMaxGridSide = 1024;

QRectF unite(const QRectF& a, const QRectF& b) {
    const double l = std::min(a.left(), b.left()), t = std::min(a.top(), b.top());
    const double r = std::max(a.right(), b.right()), btm = std::max(a.bottom(), b.bottom());
    return {l, t, r - l, btm - t};
}
// The cell a coordinate falls in, kept to lo..hi while still a real: a drawing far from
// the grid (a point typed as 1e300) lies beyond what an int holds.
int cellIndex(double offset, double cellSize, int lo, int hi) {
    const double cell = std::floor(offset / cellSize);
    if (!(cell > lo)) return lo;
    return cell >= hi ? hi : static_cast<int>(cell);
}

}  // namespace

QRectF DisplayList::boxOf(std::span<const QPointF> points) const {
    if (points.empty()) return {};
    double l = points[0].x(), r = l, t = points[0].y(), b = t;
    for (const auto& p : points) {
        l = std::min(l, p.x());
        r = std::max(r, p.x());
        t = std::min(t, p.y());
        b = std::max(b, p.y());
    }
    // Box in y-up world units: top() is the smallest y.
    return {l, t, r - l, b - t};
}

void DisplayList::add(Item item) {
    m_bounds = m_items.empty() ? item.box : unite(m_bounds, item.box);
    if (m_owner != 0) {
        Run& run = m_runs[m_owner];
        if (run.count == 0) run.first = static_cast<std::uint32_t>(m_items.size());
        ++run.count;
    }
    m_items.push_back(item);
}

void DisplayList::setOwner(std::uintptr_t owner) { m_owner = owner; }

std::optional<QRectF> DisplayList::remove(std::uintptr_t owner) {
    const std::optional<QRectF> box = ownerBox(owner);
    const auto it = m_runs.find(owner);
    if (it == m_runs.end()) return box;
    for (std::uint32_t id = it->second.first; id < it->second.first + it->second.count; ++id) m_items[id].live = false;
    m_runs.erase(it);
    return box;
}

std::optional<QRectF> DisplayList::ownerBox(std::uintptr_t owner) const {
    const auto it = m_runs.find(owner);
    if (it == m_runs.end() || it->second.count == 0) return std::nullopt;
    QRectF box = m_items[it->second.first].box;
    for (std::uint32_t id = it->second.first + 1; id < it->second.first + it->second.count; ++id)
        box = unite(box, m_items[id].box);
    return box;
}

void DisplayList::polyline(std::span<const QPointF> points, bool closed, const Stroke& stroke) {
    if (points.empty()) return;
    Item item{boxOf(points), stroke, static_cast<std::uint32_t>(m_points.size()),
              static_cast<std::uint32_t>(points.size()), closed ? Kind::ClosedPolyline : Kind::Polyline};
    m_points.insert(m_points.end(), points.begin(), points.end());
    add(item);
}

void DisplayList::segments(std::span<const QPointF> points, const Stroke& stroke) {
    if (points.size() < 2) return;
    Item item{boxOf(points), stroke, static_cast<std::uint32_t>(m_points.size()),
              static_cast<std::uint32_t>(points.size() & ~std::size_t{1}), Kind::Segments};
    m_points.insert(m_points.end(), points.begin(), points.begin() + item.count);
    add(item);
}

void DisplayList::fill(std::span<const std::vector<QPointF>> rings, QRgb color) {
    FillData data{static_cast<std::uint32_t>(m_points.size()), {}, color};
    for (const auto& ring : rings) {
        data.ringSizes.push_back(static_cast<std::uint32_t>(ring.size()));
        m_points.insert(m_points.end(), ring.begin(), ring.end());
    }
    const std::span<const QPointF> all(m_points.data() + data.firstPoint, m_points.size() - data.firstPoint);
    if (all.empty()) return;
    Item item{boxOf(all), {color, 0.0}, static_cast<std::uint32_t>(m_fills.size()), 1, Kind::Fill};
    m_fills.push_back(std::move(data));
    add(item);
}

void DisplayList::text(const TextRun& run) {
    // The box of the run turned about its anchor, generous enough for any alignment.
    const double advance = textAdvance(run.family, run.text) * run.height * run.widthFactor;
    const double reach = advance + run.height * 1.5;
    Item item{QRectF(run.anchor.x() - reach, run.anchor.y() - reach, 2 * reach, 2 * reach), {run.color, 0.0},
              static_cast<std::uint32_t>(m_texts.size()), 1, Kind::Text};
    m_texts.push_back(run);
    add(item);
}

void DisplayList::point(QPointF at, QRgb color) {
    Item item{QRectF(at, QSizeF(0, 0)), {color, 0.0}, static_cast<std::uint32_t>(m_points.size()), 1, Kind::Point};
    m_points.push_back(at);
    add(item);
}

void DisplayList::clear() { *this = DisplayList(); }

void DisplayList::finish() {
    m_cellStart.clear();
    m_cellIds.clear();
    m_large.clear();
    m_seen.assign(m_items.size(), 0);
    m_stamp = 0;
    m_indexed = m_items.size();
    m_gridBounds = m_bounds;
    if (m_items.empty()) {
        m_columns = m_rows = 0;
        return;
    }
    const double w = std::max(m_bounds.width(), 1e-9), h = std::max(m_bounds.height(), 1e-9);
    const double cells = std::max(1.0, static_cast<double>(m_items.size()) / kItemsPerCell);
    const double side = std::sqrt(cells * w / h);
    m_columns = std::clamp(static_cast<int>(std::ceil(side)), 1, kMaxGridSide);
    m_rows = std::clamp(static_cast<int>(std::ceil(cells / m_columns)), 1, kMaxGridSide);
    m_cellWidth = w / m_columns;
    m_cellHeight = h / m_rows;

    auto cellRange = [&](const QRectF& box, int& c0, int& c1, int& r0, int& r1) {
        c0 = cellIndex(box.left() - m_bounds.left(), m_cellWidth, 0, m_columns - 1);
        c1 = cellIndex(box.right() - m_bounds.left(), m_cellWidth, 0, m_columns - 1);
        r0 = cellIndex(box.top() - m_bounds.top(), m_cellHeight, 0, m_rows - 1);
        r1 = cellIndex(box.bottom() - m_bounds.top(), m_cellHeight, 0, m_rows - 1);
    };
    // Two passes: count per cell, then place; the ids land in drawing order in each cell.
    const auto cellCount = static_cast<std::size_t>(m_columns) * static_cast<std::size_t>(m_rows);
    std::vector<std::uint32_t> counts(cellCount + 1, 0);
    for (const Item& item : m_items) {
        int c0, c1, r0, r1;
        cellRange(item.box, c0, c1, r0, r1);
        if ((c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerItem) continue;
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) ++counts[static_cast<std::size_t>(r * m_columns + c)];
    }
    m_cellStart.assign(cellCount + 1, 0);
    for (std::size_t k = 0; k < cellCount; ++k) m_cellStart[k + 1] = m_cellStart[k] + counts[k];
    m_cellIds.resize(m_cellStart[cellCount]);
    std::vector<std::uint32_t> fillAt(m_cellStart.begin(), m_cellStart.end() - 1);
    for (std::uint32_t id = 0; id < m_items.size(); ++id) {
        int c0, c1, r0, r1;
        cellRange(m_items[id].box, c0, c1, r0, r1);
        if ((c1 - c0 + 1) * (r1 - r0 + 1) > kMaxCellsPerItem) {
            m_large.push_back(id);
            continue;
        }
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) m_cellIds[fillAt[static_cast<std::size_t>(r * m_columns + c)]++] = id;
    }
}

void DisplayList::send(GraphicsSink& sink, const Item& item) const {
    switch (item.kind) {
        case Kind::Polyline:
        case Kind::ClosedPolyline:
            sink.polyline({m_points.data() + item.first, item.count}, item.kind == Kind::ClosedPolyline, item.stroke);
            break;
        case Kind::Segments: sink.segments({m_points.data() + item.first, item.count}, item.stroke); break;
        case Kind::Fill: {
            const FillData& data = m_fills[item.first];
            std::vector<std::vector<QPointF>> rings;
            std::uint32_t at = data.firstPoint;
            for (const std::uint32_t n : data.ringSizes) {
                rings.emplace_back(m_points.begin() + at, m_points.begin() + at + n);
                at += n;
            }
            sink.fill(rings, data.color);
            break;
        }
        case Kind::Text: sink.text(m_texts[item.first]); break;
        case Kind::Point: sink.point(m_points[item.first], item.stroke.color); break;
    }
}

void DisplayList::replayAll(GraphicsSink& sink) const {
    for (const Item& item : m_items)
        if (item.live) send(sink, item);
}

void DisplayList::replay(GraphicsSink& sink, const QRectF& window) const {
    auto meets = [&](const QRectF& box) {
        return box.left() <= window.right() && box.right() >= window.left() && box.top() <= window.bottom() &&
               box.bottom() >= window.top();
    };
    if (m_indexed == 0) {
        for (const Item& item : m_items)
            if (item.live && meets(item.box)) send(sink, item);
        return;
    }
    const int c0 = cellIndex(window.left() - m_gridBounds.left(), m_cellWidth, -1, m_columns);
    const int c1 = cellIndex(window.right() - m_gridBounds.left(), m_cellWidth, -1, m_columns);
    const int r0 = cellIndex(window.top() - m_gridBounds.top(), m_cellHeight, -1, m_rows);
    const int r1 = cellIndex(window.bottom() - m_gridBounds.top(), m_cellHeight, -1, m_rows);
    const auto addUnindexed = [&](std::vector<std::uint32_t>& into) {
        for (auto id = static_cast<std::uint32_t>(m_indexed); id < m_items.size(); ++id)
            if (m_items[id].live && meets(m_items[id].box)) into.push_back(id);
    };
    if (c1 < 0 || r1 < 0 || c0 >= m_columns || r0 >= m_rows) {
        m_found.clear();
        for (const std::uint32_t id : m_large)
            if (m_items[id].live && meets(m_items[id].box)) m_found.push_back(id);
        addUnindexed(m_found);
        for (const std::uint32_t id : m_found) send(sink, m_items[id]);
        return;
    }
    const int cc0 = std::max(c0, 0), cc1 = std::min(c1, m_columns - 1);
    const int rr0 = std::max(r0, 0), rr1 = std::min(r1, m_rows - 1);
    // A window over most of the drawing is cheaper to scan than to gather.
    if (static_cast<double>(cc1 - cc0 + 1) * (rr1 - rr0 + 1) > 0.4 * m_columns * m_rows) {
        for (const Item& item : m_items)
            if (item.live && meets(item.box)) send(sink, item);
        return;
    }
    if (++m_stamp == 0) {
        std::fill(m_seen.begin(), m_seen.end(), 0);
        m_stamp = 1;
    }
    m_found.clear();
    for (int r = rr0; r <= rr1; ++r)
        for (int c = cc0; c <= cc1; ++c) {
            const auto k = static_cast<std::size_t>(r * m_columns + c);
            for (std::uint32_t at = m_cellStart[k]; at < m_cellStart[k + 1]; ++at) {
                const std::uint32_t id = m_cellIds[at];
                if (m_seen[id] == m_stamp) continue;
                m_seen[id] = m_stamp;
                if (m_items[id].live && meets(m_items[id].box)) m_found.push_back(id);
            }
        }
    for (const std::uint32_t id : m_large)
        if (m_items[id].live && meets(m_items[id].box)) m_found.push_back(id);
    addUnindexed(m_found);
    std::sort(m_found.begin(), m_found.end());
    for (const std::uint32_t id : m_found) send(sink, m_items[id]);
}

}  // namespace hostui
