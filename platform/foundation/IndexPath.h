#pragma once

// Index paths: the address of an element of a list of sections, (section, item) for the
// cells of a collection or (section, row) for the rows of a table. A path of one index names
// something that belongs to no item (a collection layout's decoration); it differs from every
// path of two indexes, (0, 0) included. Paths order by their indexes, then by length.

#include <array>
#include <compare>
#include <cstddef>
#include <functional>

namespace fnd {

class IndexPath {
public:
    // The empty path.
    constexpr IndexPath() = default;

    static constexpr IndexPath forItem(long item, long section) { return IndexPath(section, item); }
    static constexpr IndexPath forRow(long row, long section) { return IndexPath(section, row); }
    static constexpr IndexPath withIndex(long index) {
        IndexPath path;
        path._indexes = {index, 0};
        path._length = 1;
        return path;
    }

    constexpr std::size_t length() const { return _length; }
    // The index at `position`; 0 past the end.
    constexpr long indexAtPosition(std::size_t position) const {
        return position < _length ? _indexes[position] : 0;
    }
    constexpr long section() const { return indexAtPosition(0); }
    constexpr long item() const { return indexAtPosition(1); }
    constexpr long row() const { return indexAtPosition(1); }

    friend constexpr bool operator==(const IndexPath&, const IndexPath&) = default;
    friend constexpr std::strong_ordering operator<=>(const IndexPath& a, const IndexPath& b) {
        for (std::size_t i = 0; i < 2; ++i) {
            if (i >= a._length || i >= b._length) break;
            if (auto c = a._indexes[i] <=> b._indexes[i]; c != 0) return c;
        }
        return a._length <=> b._length;
    }

    std::size_t hash() const {
        const std::size_t h = std::hash<long>{}(_indexes[0]);
        return (h * 1000003u) ^ std::hash<long>{}(_indexes[1]) ^ (std::size_t(_length) << 60);
    }

private:
    constexpr IndexPath(long section, long item) : _indexes{section, item}, _length(2) {}

    std::array<long, 2> _indexes{0, 0};
    std::size_t _length = 0;
};

} // namespace fnd

template <> struct std::hash<fnd::IndexPath> {
    std::size_t operator()(const fnd::IndexPath& path) const { return path.hash(); }
};
