#include "OLMCalendar/Presenters/MonthNames/MonthYearGrid.h"

#include <algorithm>
#include <cmath>

long MonthYearGrid::clampColumns(long columns) {
    return std::clamp(columns, 1L, maxCells);
}

MonthYearGrid MonthYearGrid::make(gfx::Size size, long columns, long rows, double overlap, bool stretchLastColumn) {
    MonthYearGrid grid;
    grid.size = size;
    grid.columns = clampColumns(columns);
    grid.rows = std::clamp(rows, 1L, maxCells / grid.columns);
    grid.overlap = overlap;
    grid.stretchLastColumn = stretchLastColumn;
    return grid;
}

double MonthYearGrid::next(double at, double extent) const {
    return std::trunc(at + (extent - overlap));
}

std::optional<long> MonthYearGrid::indexAt(gfx::Point point) const {
    if (!(point.x >= 0 && point.y >= 0 && point.x < size.width && point.y < size.height)) return std::nullopt;
    const auto line = [this](double at, double extent, long count) {
        const double step = extent - overlap;
        const double n = step > 0 ? std::floor(at / step) : 0;
        return std::clamp(static_cast<long>(std::min(n, static_cast<double>(count - 1))), 0L, count - 1);
    };
    return line(point.y, cellHeight(), rows) * columns + line(point.x, cellWidth(), columns);
}
