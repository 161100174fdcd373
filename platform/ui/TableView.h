#pragma once

// Plain tables: rows of one height (`rowHeight`, 44) stacked section after section, made by
// the data source (which dequeues a free row of an identifier, or makes one when none is
// free) and recycled as they scroll out. A table is a collection view with a row layout of
// its own; selection is single and reported as `tableViewDidSelectRowAtIndexPath`. It always
// bounces vertically. Main thread only.

#include "platform/ui/CollectionView.h"
#include "platform/ui/TableViewCell.h"

#include <memory>
#include <optional>
#include <string_view>

namespace ui {

class TableView;

// Held weakly. Rows and cells are required.
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;
    virtual long numberOfSectionsInTableView(TableView& tableView) {
        (void)tableView;
        return 1;
    }
    virtual long tableViewNumberOfRowsInSection(TableView& tableView, long section) = 0;
    // Null shows nothing in the row.
    virtual std::shared_ptr<TableViewCell> tableViewCellForRowAtIndexPath(TableView& tableView,
                                                                          const fnd::IndexPath& indexPath) = 0;
};

// Held weakly; also the scroll view's delegate.
class TableViewDelegate : public virtual ScrollViewDelegate {
public:
    virtual void tableViewDidSelectRowAtIndexPath(TableView& tableView, const fnd::IndexPath& indexPath) {
        (void)tableView;
        (void)indexPath;
    }
};

class TableView : public CollectionView {
public:
    OLM_DECLARE_CLASS(TableView)
    static std::shared_ptr<TableView> make(const gfx::Rect& frame = {}) { return rt::create<TableView>(frame); }

    std::shared_ptr<TableViewDataSource> dataSource() const { return _tableDataSource.lock(); }
    void setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource);
    std::shared_ptr<TableViewDelegate> delegate() const { return _tableDelegate.lock(); }
    void setDelegate(const std::shared_ptr<TableViewDelegate>& delegate);

    // 44; negative or non-finite heights count as 0.
    double rowHeight() const { return _rowHeight; }
    void setRowHeight(double height);
    // The system separator colour unless set.
    const gfx::Color& separatorColor() const { return _separatorColor; }
    void setSeparatorColor(const gfx::Color& color);

    // A free row of the identifier, prepared for reuse; null when none is free.
    std::shared_ptr<TableViewCell> dequeueReusableCell(std::string_view identifier);
    // Also clears the selection.
    void reloadData();
    long numberOfRowsInSection(long section) const { return numberOfItemsInSection(section); }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(const fnd::IndexPath& indexPath) const;
    std::optional<fnd::IndexPath> indexPathForSelectedRow() const;

protected:
    TableView() = default;
    void init(const gfx::Rect& frame);
    friend class rt::Access;

    bool shouldHighlightItem(const fnd::IndexPath& indexPath) override;
    bool shouldSelectItem(const fnd::IndexPath& indexPath) override;
    void didSelectItem(const fnd::IndexPath& indexPath) override;
    void didDeselectItem(const fnd::IndexPath& indexPath) override;
    std::shared_ptr<CollectionViewCell> cellFromDataSource(const fnd::IndexPath& indexPath) override;
    long sectionsFromDataSource() override;
    long itemsFromDataSource(long section) override;

private:
    class RowLayout;
    std::weak_ptr<TableViewDataSource> _tableDataSource;
    std::weak_ptr<TableViewDelegate> _tableDelegate;
    std::shared_ptr<RowLayout> _rows;
    double _rowHeight = 44;
    gfx::Color _separatorColor;
};

} // namespace ui
