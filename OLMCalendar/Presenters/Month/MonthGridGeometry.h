#pragma once

// The geometry of a month grid: the width of a day column and of the week-number column, the
// height of a row, where each column starts, and the reverse (which row and column a point
// falls in). The month presenter lays its cells out with it and answers hit tests with the
// same numbers, so a point always finds the cell drawn under it.

#include "platform/graphics/Geometry.h"

#include <optional>
#include <vector>

struct MonthGridGeometry {
    struct Input {
        double width = 0;          // of the grid (the presenter's width)
        double height = 0;         // of the grid's content area
        long daysInWeek = 7;       // below 1 acts as 7
        long rows = 6;             // below 1 acts as 1
        double columnSpacing = 0;  // between day columns (none after the week-number column)
        double rowSpacing = 0;
        bool weekNumbersHidden = true;
        double weekNumberWidth = 0; // -1: as wide as a day column
        bool weekendsHidden = false;
        // Column k is a weekend column (hidden when weekendsHidden); size daysInWeek or empty.
        std::vector<bool> weekendColumns;
    };

    long days = 7;
    long rows = 6;
    double columnSpacing = 0;
    double rowSpacing = 0;
    double columnWidth = 0;     // c
    double weekNumberWidth = 0; // 0 when the column is hidden
    double rowHeight = 0;
    // The x of each day column; nullopt for a hidden weekend column.
    std::vector<std::optional<double>> columnX;

    static MonthGridGeometry make(const Input& input);

    // The day cell of (row, column) relative to the grid's top; zero for a hidden column. `y`
    // is the row's top.
    gfx::Rect dayFrame(double y, long column) const;
    // The top of a row when no rows are pushed apart.
    double rowTop(long row) const { return static_cast<double>(row) * (rowHeight + rowSpacing); }

    // The row and day column under a point of the grid (y measured as if no rows were pushed
    // apart); nullopt on the week-number column, outside the grid or with no visible column.
    // Points on the spacing or the last points of the last column and row belong to the
    // nearest cell.
    struct Place {
        long row;
        long column;
    };
    std::optional<Place> placeAt(gfx::Point point) const;
};
