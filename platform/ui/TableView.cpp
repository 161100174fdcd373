#include "platform/ui/TableView.h"

#include "platform/graphics/SystemColors.h"

#include <algorithm>
#include <cmath>

namespace ui {

OLM_DEFINE_CLASS(TableView, CollectionView)

// Rows of the table's height, section after section; a row's place is its index among all
// rows, found through the first row of each section.
class TableView::RowLayout : public CollectionViewLayout {
public:
    static std::shared_ptr<RowLayout> make(TableView* table) {
        auto layout = rt::create<RowLayout>();
        layout->_table = table;
        return layout;
    }

    void prepareLayout() override {
        const long sections = _table->numberOfSections();
        _firstRows.assign(static_cast<std::size_t>(sections) + 1, 0);
        for (long s = 0; s < sections; ++s)
            _firstRows[static_cast<std::size_t>(s) + 1] = _firstRows[static_cast<std::size_t>(s)] + _table->numberOfRowsInSection(s);
    }

    gfx::Size collectionViewContentSize() const override {
        return {_table->bounds().size.width, static_cast<double>(totalRows()) * _table->rowHeight()};
    }

    std::vector<CollectionViewLayoutAttributesRef> layoutAttributesForElementsInRect(const gfx::Rect& rect) const override {
        std::vector<CollectionViewLayoutAttributesRef> out;
        const double h = _table->rowHeight();
        if (!(h > 0) || rect.isNull() || totalRows() == 0) return out;
        const gfx::Rect r = rect.standardized();
        const long first = std::clamp(static_cast<long>(std::floor(r.minY() / h)), 0L, totalRows() - 1);
        const long last = std::clamp(static_cast<long>(std::floor(r.maxY() / h)), 0L, totalRows() - 1);
        for (long row = first; row <= last; ++row)
            out.push_back(attributesOfRow(row));
        return out;
    }

    CollectionViewLayoutAttributesRef layoutAttributesForItemAtIndexPath(const fnd::IndexPath& path) const override {
        const long s = path.section();
        if (path.length() != 2 || s < 0 || s + 1 >= static_cast<long>(_firstRows.size())) return nullptr;
        const long row = _firstRows[static_cast<std::size_t>(s)] + path.row();
        if (path.row() < 0 || row >= _firstRows[static_cast<std::size_t>(s) + 1]) return nullptr;
        return attributesOfRow(row);
    }

    bool shouldInvalidateLayoutForBoundsChange(const gfx::Rect& newBounds) const override {
        return newBounds.size.width != _table->bounds().size.width;
    }

protected:
    RowLayout() = default;
    friend class rt::Access;

private:
    long totalRows() const { return _firstRows.empty() ? 0 : _firstRows.back(); }

    CollectionViewLayoutAttributesRef attributesOfRow(long row) const {
        const auto next = std::upper_bound(_firstRows.begin(), _firstRows.end(), row);
        const long s = static_cast<long>(next - _firstRows.begin()) - 1;
        auto a = CollectionViewLayoutAttributes::layoutAttributesForCell(
            fnd::IndexPath::forRow(row - _firstRows[static_cast<std::size_t>(s)], s));
        const double h = _table->rowHeight();
        a->setFrame({0, static_cast<double>(row) * h, _table->bounds().size.width, h});
        return a;
    }

    TableView* _table = nullptr; // owns the layout
    std::vector<long> _firstRows;
};

void TableView::init(const gfx::Rect& frame) {
    _separatorColor = gfx::systemColors::separator();
    auto rows = RowLayout::make(this);
    _rows = rows;
    CollectionView::init(frame, rows);
    setAlwaysBounceVertical(true);
}

void TableView::setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource) {
    _tableDataSource = dataSource;
    reloadData();
}

void TableView::setDelegate(const std::shared_ptr<TableViewDelegate>& delegate) {
    _tableDelegate = delegate;
    ScrollView::setDelegate(delegate);
}

void TableView::setRowHeight(double height) {
    _rowHeight = std::isfinite(height) && height > 0 ? height : 0;
    _rows->invalidateLayout();
}

void TableView::setSeparatorColor(const gfx::Color& color) {
    _separatorColor = color;
    for (const auto& cell : visibleCells())
        if (auto* row = dynamic_cast<TableViewCell*>(cell.get())) row->setSeparatorColor(color);
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(std::string_view identifier) {
    return std::dynamic_pointer_cast<TableViewCell>(takeFromPool(identifier));
}

void TableView::reloadData() {
    clearSelection();
    CollectionView::reloadData();
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndexPath(const fnd::IndexPath& indexPath) const {
    return std::dynamic_pointer_cast<TableViewCell>(cellForItemAtIndexPath(indexPath));
}

std::optional<fnd::IndexPath> TableView::indexPathForSelectedRow() const {
    const auto& selected = indexPathsForSelectedItems();
    if (selected.empty()) return std::nullopt;
    return selected.front();
}

bool TableView::shouldHighlightItem(const fnd::IndexPath&) {
    return true;
}

bool TableView::shouldSelectItem(const fnd::IndexPath&) {
    return true;
}

void TableView::didSelectItem(const fnd::IndexPath& indexPath) {
    if (const auto d = delegate()) d->tableViewDidSelectRowAtIndexPath(*this, indexPath);
}

void TableView::didDeselectItem(const fnd::IndexPath&) {}

std::shared_ptr<CollectionViewCell> TableView::cellFromDataSource(const fnd::IndexPath& indexPath) {
    const auto ds = dataSource();
    std::shared_ptr<TableViewCell> cell = ds ? ds->tableViewCellForRowAtIndexPath(*this, indexPath) : nullptr;
    if (cell) cell->setSeparatorColor(_separatorColor);
    return cell;
}

long TableView::sectionsFromDataSource() {
    const auto ds = dataSource();
    return ds ? ds->numberOfSectionsInTableView(*this) : 0;
}

long TableView::itemsFromDataSource(long section) {
    const auto ds = dataSource();
    return ds ? ds->tableViewNumberOfRowsInSection(*this, section) : 0;
}

} // namespace ui
