#pragma once

#include "ui/render/graphicssink.h"

#include <QRectF>

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace hostui {

// The primitives of a drawing kept in world coordinates, each with its bounding box,
// and a uniform grid over them so that a window onto a large drawing finds the few
// primitives it shows without looking at the rest. Fill it through the sink interface,
// call finish(), then replay any window of it in drawing order.
//
// Primitives may belong to an owner (an entity): after a change, the owner's primitives
// are taken out and its new ones added at the end, without building the rest again.
// Those added since finish() are outside the grid and tried by every replay, so a caller
// that has added many calls finish() again.
class DisplayList : public GraphicsSink {
public:
    void polyline(std::span<const QPointF> points, bool closed, const Stroke& stroke) override;
    void segments(std::span<const QPointF> points, const Stroke& stroke) override;
    void fill(std::span<const std::vector<QPointF>> rings, QRgb color) override;
    void text(const TextRun& run) override;
    void point(QPointF at, QRgb color) override;

    void clear();
    // Builds the grid over every primitive.
    void finish();

    // Primitives added from now on belong to owner (0: to none) until another is set.
    // An owner's primitives are added in one run.
    void setOwner(std::uintptr_t owner);
    // Takes the owner's primitives out; answers the box they covered, none for none.
    std::optional<QRectF> remove(std::uintptr_t owner);
    // The box around the owner's primitives; none for none.
    std::optional<QRectF> ownerBox(std::uintptr_t owner) const;
    // Primitives added since finish(), outside the grid.
    std::size_t unindexed() const { return m_items.size() - m_indexed; }

    std::size_t size() const { return m_items.size(); }
    // The box around everything; empty (invalid) for an empty list.
    QRectF bounds() const { return m_bounds; }
    // Sends the primitives whose boxes meet the window to the sink, in drawing order.
    void replay(GraphicsSink& sink, const QRectF& window) const;
    void replayAll(GraphicsSink& sink) const;

private:
    enum class Kind : std::uint8_t { Polyline, ClosedPolyline, Segments, Fill, Text, Point };
    struct Item {
        QRectF box;
        Stroke stroke;
        std::uint32_t first = 0;  // into m_points, or m_fills / m_texts for those kinds
        std::uint32_t count = 0;
        Kind kind = Kind::Point;
        bool live = true;
    };
    struct Run {
        std::uint32_t first = 0, count = 0;
    };
    struct FillData {
        std::uint32_t firstPoint = 0;
        std::vector<std::uint32_t> ringSizes;
        QRgb color = 0;
    };

    void add(Item item);
    void send(GraphicsSink& sink, const Item& item) const;
    QRectF boxOf(std::span<const QPointF> points) const;

    std::vector<Item> m_items;
    std::vector<QPointF> m_points;
    std::vector<FillData> m_fills;
    std::vector<TextRun> m_texts;
    QRectF m_bounds;
    std::uintptr_t m_owner = 0;
    std::unordered_map<std::uintptr_t, Run> m_runs;
    std::size_t m_indexed = 0;  // items the grid holds: those before this
    QRectF m_gridBounds;       // the bounds the grid was laid over

    // The grid: cell (i, j) holds the ids of m_cellIds[m_cellStart[k] .. m_cellStart[k + 1]).
    // Primitives spanning many cells are kept apart in m_large and always tested.
    int m_columns = 0, m_rows = 0;
    double m_cellWidth = 1, m_cellHeight = 1;
    std::vector<std::uint32_t> m_cellStart, m_cellIds, m_large;
    // Ids met while gathering a window, to take each primitive once.
    mutable std::vector<std::uint32_t> m_seen;
    mutable std::uint32_t m_stamp = 0;
    mutable std::vector<std::uint32_t> m_found;
};

}  // namespace hostui
