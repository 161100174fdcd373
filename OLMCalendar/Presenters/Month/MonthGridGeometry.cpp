#include "OLMCalendar/Presenters/Month/MonthGridGeometry.h"

#include <algorithm>
#include <cmath>

MonthGridGeometry MonthGridGeometry::make(const Input& in) {
    MonthGridGeometry g;
    g.days = in.daysInWeek < 1 ? 7 : in.daysInWeek;
    g.rows = std::max(1L, in.rows);
    g.columnSpacing = in.columnSpacing;
    g.rowSpacing = in.rowSpacing;

    // The width is shared as if two columns were always gone when weekends are hidden.
    const long shown = g.days - (in.weekendsHidden ? 2 : 0);
    const double s = in.columnSpacing;
    double w = in.weekNumbersHidden ? 0 : in.weekNumberWidth;
    if (w == -1) {
        const double divisor = static_cast<double>(shown + 1);
        g.columnWidth = shown + 1 > 0 ? (in.width - static_cast<double>(shown) * s) / divisor : 0;
        w = g.columnWidth;
    } else {
        g.columnWidth = shown > 0 ? (in.width - w - static_cast<double>(shown - 1) * s) / static_cast<double>(shown) : 0;
    }
    g.columnWidth = std::max(0.0, g.columnWidth);
    g.weekNumberWidth = std::max(0.0, w);
    g.rowHeight =
        std::max(0.0, (in.height - static_cast<double>(g.rows - 1) * in.rowSpacing) / static_cast<double>(g.rows));

    g.columnX.resize(static_cast<std::size_t>(g.days));
    double x = g.weekNumberWidth;
    for (long k = 0; k < g.days; ++k) {
        const bool weekend = static_cast<std::size_t>(k) < in.weekendColumns.size() &&
                             in.weekendColumns[static_cast<std::size_t>(k)];
        if (in.weekendsHidden && (weekend || g.columnWidth <= 0)) continue;
        g.columnX[static_cast<std::size_t>(k)] = x;
        x += g.columnWidth + s;
    }
    return g;
}

gfx::Rect MonthGridGeometry::dayFrame(double y, long column) const {
    if (column < 0 || column >= days) return gfx::Rect::zero();
    const auto& x = columnX[static_cast<std::size_t>(column)];
    if (!x) return gfx::Rect::zero();
    return {*x, y, columnWidth, rowHeight};
}

std::optional<MonthGridGeometry::Place> MonthGridGeometry::placeAt(gfx::Point p) const {
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || p.x < weekNumberWidth || p.y < 0) return std::nullopt;
    std::vector<long> visible;
    visible.reserve(columnX.size());
    for (long k = 0; k < days; ++k)
        if (columnX[static_cast<std::size_t>(k)]) visible.push_back(k);
    if (visible.empty() || columnWidth <= 0 || rowHeight <= 0) return std::nullopt;

    // Whole strides from the first column's start; the last column and row take what is left
    // (their far edges lie a spacing beyond the last stride).
    const auto index = [](double offset, double stride, long count) {
        const double i = stride > 0 ? std::floor(offset / stride) : 0;
        return static_cast<long>(std::clamp(i, 0.0, static_cast<double>(count - 1)));
    };
    const double lastX = *columnX[static_cast<std::size_t>(visible.back())] + columnWidth;
    const double lastY = rowTop(rows - 1) + rowHeight;
    if (p.x > std::max(lastX, lastX - columnSpacing) || p.y > std::max(lastY, lastY - rowSpacing)) return std::nullopt;

    const long v = index(p.x - weekNumberWidth, columnWidth + columnSpacing, static_cast<long>(visible.size()));
    const long row = index(p.y, rowHeight + rowSpacing, rows);
    return Place{row, visible[static_cast<std::size_t>(v)]};
}
