#pragma once

// The grid of the month-names and year-numbers presenters: `columns` x `rows` cells over an
// area, row by row. Cells are w = width / columns by h = height / rows; each next column
// starts at the whole part of x + w - overlap and each next row likewise, so neighbours
// overlap a little and their borders fall on whole points. The year numbers stretch their
// last column to the right edge.
//
// A grid holds at most `maxCells` cells: columns and rows below 1 count as 1, and rows are
// cut to what fits beside the columns (an absurd setting must not make millions of views).

#include "platform/graphics/Geometry.h"

#include <cmath>
#include <optional>

struct MonthYearGrid {
    static constexpr long maxCells = 1024;

    gfx::Size size;
    long columns = 1;
    long rows = 1;
    // How far each column (and row) reaches into the next: half a point for month names, a
    // point for year numbers.
    double overlap = 0.5;
    bool stretchLastColumn = false;

    // The grid of a setting, with the cap applied.
    static MonthYearGrid make(gfx::Size size, long columns, long rows, double overlap, bool stretchLastColumn);
    // Columns as the grid counts them (1 ... maxCells).
    static long clampColumns(long columns);

    long cellCount() const { return columns * rows; }
    // Calls `place(index, frame)` for every cell, row by row.
    template <class Place> void forEachFrame(Place&& place) const {
        const double w = cellWidth(), h = cellHeight();
        double y = 0;
        for (long row = 0; row < rows; ++row) {
            double x = 0;
            for (long column = 0; column < columns; ++column) {
                double width = w;
                if (stretchLastColumn && column == columns - 1 && x + w < size.width) width = size.width - x;
                place(row * columns + column, gfx::Rect{x, y, width, h});
                x = next(x, w);
            }
            y = next(y, h);
        }
    }
    // The cell under a point of the area; nullopt outside it. Points on the last pixels of a
    // row or column belong to it.
    std::optional<long> indexAt(gfx::Point point) const;

private:
    double cellWidth() const { return size.width / static_cast<double>(static_cast<float>(columns)); }
    double cellHeight() const { return size.height / static_cast<double>(rows); }
    double next(double at, double extent) const;
};
