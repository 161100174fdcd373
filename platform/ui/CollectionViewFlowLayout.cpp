#include "platform/ui/CollectionViewFlowLayout.h"

#include <algorithm>
#include <cmath>

namespace ui {

OLM_DEFINE_CLASS(CollectionViewFlowLayout, CollectionViewLayout)

namespace {

// Tolerance of the fitting tests, so that items that fit exactly are not pushed out by
// rounding.
constexpr double fitTolerance = 1e-9;

double extent(double v) {
    return std::isfinite(v) && v > 0 ? v : 0;
}

double finiteOr0(double v) {
    return std::isfinite(v) ? v : 0;
}

gfx::Size sanitized(gfx::Size size) {
    return {extent(size.width), extent(size.height)};
}

gfx::EdgeInsets sanitized(const gfx::EdgeInsets& i) {
    return {finiteOr0(i.top), finiteOr0(i.left), finiteOr0(i.bottom), finiteOr0(i.right)};
}

} // namespace

// --- The delegate's defaults: not implemented.

std::optional<gfx::Size> CollectionViewDelegateFlowLayout::collectionViewLayoutSizeForItemAtIndexPath(
    CollectionView&, CollectionViewLayout&, const fnd::IndexPath&) {
    return std::nullopt;
}
std::optional<gfx::EdgeInsets>
CollectionViewDelegateFlowLayout::collectionViewLayoutInsetForSectionAtIndex(CollectionView&, CollectionViewLayout&, long) {
    return std::nullopt;
}
std::optional<double> CollectionViewDelegateFlowLayout::collectionViewLayoutMinimumLineSpacingForSectionAtIndex(
    CollectionView&, CollectionViewLayout&, long) {
    return std::nullopt;
}
std::optional<double> CollectionViewDelegateFlowLayout::collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(
    CollectionView&, CollectionViewLayout&, long) {
    return std::nullopt;
}
std::optional<gfx::Size> CollectionViewDelegateFlowLayout::collectionViewLayoutReferenceSizeForHeaderInSection(
    CollectionView&, CollectionViewLayout&, long) {
    return std::nullopt;
}

// --- Properties.

void CollectionViewFlowLayout::setItemSize(gfx::Size size) {
    _itemSize = sanitized(size);
    invalidateLayout();
}

void CollectionViewFlowLayout::setMinimumInteritemSpacing(double spacing) {
    _interitemSpacing = finiteOr0(spacing);
    invalidateLayout();
}

void CollectionViewFlowLayout::setMinimumLineSpacing(double spacing) {
    _lineSpacing = finiteOr0(spacing);
    invalidateLayout();
}

void CollectionViewFlowLayout::setSectionInset(const gfx::EdgeInsets& inset) {
    _sectionInset = sanitized(inset);
    invalidateLayout();
}

void CollectionViewFlowLayout::setHeaderReferenceSize(gfx::Size size) {
    _headerReferenceSize = sanitized(size);
    invalidateLayout();
}

double CollectionViewFlowLayout::width() const {
    return collectionView() != nullptr ? extent(collectionView()->bounds().size.width) : 0;
}

// --- Preparing.

bool CollectionViewFlowLayout::countsChanged() const {
    const CollectionView* cv = collectionView();
    if (static_cast<long>(_sections.size()) != cv->numberOfSections()) return true;
    for (std::size_t s = 0; s < _sections.size(); ++s)
        if (_sections[s].count != cv->numberOfItemsInSection(static_cast<long>(s))) return true;
    return false;
}

void CollectionViewFlowLayout::fetchMetrics() {
    CollectionView& cv = *collectionView();
    const auto delegate = std::dynamic_pointer_cast<CollectionViewDelegateFlowLayout>(cv.delegate());
    const long sectionCount = cv.numberOfSections();
    _sections.assign(static_cast<std::size_t>(sectionCount), Section{});
    for (long s = 0; s < sectionCount; ++s) {
        Section& section = _sections[static_cast<std::size_t>(s)];
        section.count = cv.numberOfItemsInSection(s);
        std::optional<gfx::Size> header;
        std::optional<gfx::EdgeInsets> inset;
        std::optional<double> lineSpacing, interitemSpacing;
        if (delegate) {
            header = delegate->collectionViewLayoutReferenceSizeForHeaderInSection(cv, *this, s);
            inset = delegate->collectionViewLayoutInsetForSectionAtIndex(cv, *this, s);
            lineSpacing = delegate->collectionViewLayoutMinimumLineSpacingForSectionAtIndex(cv, *this, s);
            interitemSpacing = delegate->collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(cv, *this, s);
        }
        section.headerHeight = extent(header.value_or(_headerReferenceSize).height);
        section.inset = sanitized(inset.value_or(_sectionInset));
        section.lineSpacing = finiteOr0(lineSpacing.value_or(_lineSpacing));
        section.interitemSpacing = finiteOr0(interitemSpacing.value_or(_interitemSpacing));
        for (long i = 0; i < section.count; ++i) {
            const std::optional<gfx::Size> asked =
                delegate ? delegate->collectionViewLayoutSizeForItemAtIndexPath(cv, *this, fnd::IndexPath::forItem(i, s))
                         : std::nullopt;
            const gfx::Size size = sanitized(asked.value_or(_itemSize));
            if (i == 0) {
                section.uniformSize = size;
            } else if (section.uniform && !(size == section.uniformSize)) {
                // The first size that differs: from here on one size per item.
                section.uniform = false;
                section.sizes.assign(static_cast<std::size_t>(i), section.uniformSize);
            }
            if (!section.uniform) section.sizes.push_back(size);
        }
    }
}

void CollectionViewFlowLayout::prepareLayout() {
    CollectionViewLayout::prepareLayout();
    if (collectionView() == nullptr) {
        _sections.clear();
        _contentHeight = 0;
        return;
    }
    const CollectionViewLayoutInvalidationContext& pending = pendingInvalidation();
    if (pending.invalidateEverything() || pending.invalidateDataSourceCounts() ||
        pending.invalidateFlowLayoutDelegateMetrics())
        _metricsValid = false;
    if (!_metricsValid || countsChanged()) {
        fetchMetrics();
        _metricsValid = true;
    }
    const double w = width();
    double y = 0;
    for (Section& section : _sections) {
        section.top = y;
        section.itemsTop = y + section.headerHeight + section.inset.top;
        breakLines(section, w);
        y = section.bottom;
    }
    _contentHeight = y;
}

void CollectionViewFlowLayout::breakLines(Section& section, double width) const {
    const double available = width - section.inset.left - section.inset.right;
    const double spacing = section.interitemSpacing;
    double linesHeight = 0;
    section.lines.clear();
    if (section.uniform) {
        const gfx::Size size = section.uniformSize;
        long perLine = 1;
        if (size.width <= available + fitTolerance) {
            // k items fit when k (w + s) <= available + s.
            const double step = size.width + spacing;
            perLine = step > 0 ? static_cast<long>(std::floor((available + spacing) / step + fitTolerance))
                               : section.count;
        }
        section.perLine = std::clamp(perLine, 1L, std::max(1L, section.count));
        section.lineCount = (section.count + section.perLine - 1) / section.perLine;
        if (section.lineCount > 0)
            linesHeight = static_cast<double>(section.lineCount) * size.height +
                          static_cast<double>(section.lineCount - 1) * section.lineSpacing;
    } else {
        double y = section.itemsTop;
        for (long i = 0; i < section.count;) {
            Line line{i, 1, y, section.sizes[static_cast<std::size_t>(i)].height};
            double lineWidth = section.sizes[static_cast<std::size_t>(i)].width;
            ++i;
            while (lineWidth <= available + fitTolerance && i < section.count) {
                const gfx::Size next = section.sizes[static_cast<std::size_t>(i)];
                if (lineWidth + spacing + next.width > available + fitTolerance) break;
                lineWidth += spacing + next.width;
                line.height = std::max(line.height, next.height);
                ++line.count;
                ++i;
            }
            section.lines.push_back(line);
            y += line.height + section.lineSpacing;
        }
        section.lineCount = static_cast<long>(section.lines.size());
        if (!section.lines.empty()) linesHeight = section.lines.back().y + section.lines.back().height - section.itemsTop;
    }
    section.bottom = section.itemsTop + linesHeight + section.inset.bottom;
}

gfx::Size CollectionViewFlowLayout::sizeOf(const Section& section, long item) const {
    return section.uniform ? section.uniformSize : section.sizes[static_cast<std::size_t>(item)];
}

CollectionViewFlowLayout::Line CollectionViewFlowLayout::lineAt(const Section& section, long index) const {
    if (!section.uniform) return section.lines[static_cast<std::size_t>(index)];
    const long first = index * section.perLine;
    const double h = section.uniformSize.height;
    return {first, std::min(section.perLine, section.count - first),
            section.itemsTop + static_cast<double>(index) * (h + section.lineSpacing), h};
}

long CollectionViewFlowLayout::lineOfItem(const Section& section, long item) const {
    if (section.uniform) return item / section.perLine;
    const auto it = std::upper_bound(section.lines.begin(), section.lines.end(), item,
                                     [](long i, const Line& line) { return i < line.first; });
    return static_cast<long>(it - section.lines.begin()) - 1;
}

template <class Visit>
void CollectionViewFlowLayout::placeLine(const Section& section, const Line& line, Visit&& visit) const {
    const double available = width() - section.inset.left - section.inset.right;
    const auto place = [&](long item, double x) {
        const gfx::Size size = sizeOf(section, item);
        visit(item, gfx::Rect{x, line.y + (line.height - size.height) / 2, size.width, size.height});
        return size.width;
    };
    if (line.count == 1) {
        // A lone item is centred, unless it is too wide: then it stands at the left inset.
        const double w = sizeOf(section, line.first).width;
        place(line.first, section.inset.left + (w > available ? 0 : (available - w) / 2));
        return;
    }
    double total = 0;
    for (long i = line.first; i < line.first + line.count; ++i)
        total += sizeOf(section, i).width;
    const double gap = (available - total) / static_cast<double>(line.count - 1);
    double x = section.inset.left;
    for (long i = line.first; i < line.first + line.count; ++i)
        x += place(i, x) + gap;
}

// --- Answers.

gfx::Size CollectionViewFlowLayout::collectionViewContentSize() const {
    return {width(), _contentHeight};
}

std::vector<CollectionViewLayoutAttributesRef>
CollectionViewFlowLayout::layoutAttributesForElementsInRect(const gfx::Rect& rect) const {
    std::vector<CollectionViewLayoutAttributesRef> out;
    if (rect.isNull()) return out;
    const gfx::Rect r = rect.standardized();
    const double top = r.minY(), bottom = r.maxY();
    auto section = std::upper_bound(_sections.begin(), _sections.end(), top,
                                     [](double y, const Section& s) { return y < s.bottom; });
    for (; section != _sections.end() && section->top <= bottom; ++section) {
        const long s = static_cast<long>(section - _sections.begin());
        if (section->headerHeight > 0) {
            const gfx::Rect frame{0, section->top, width(), section->headerHeight};
            if (frame.intersects(r)) {
                auto a = CollectionViewLayoutAttributes::layoutAttributesForSupplementaryView(
                    CollectionElementKindSectionHeader, fnd::IndexPath::forItem(0, s));
                a->setFrame(frame);
                out.push_back(std::move(a));
            }
        }
        // The lines that may meet the rectangle: lines stand in order, one stride apart in a
        // section of one size.
        long first = 0, last = section->lineCount - 1;
        if (section->uniform) {
            const double stride = section->uniformSize.height + section->lineSpacing;
            if (stride > 0) {
                first = std::max(0L, static_cast<long>(std::floor((top - section->itemsTop) / stride)) - 1);
                last = std::min(last, static_cast<long>(std::floor((bottom - section->itemsTop) / stride)) + 1);
            }
        } else {
            const auto it = std::upper_bound(section->lines.begin(), section->lines.end(), top,
                                             [](double y, const Line& line) { return y < line.y + line.height; });
            first = std::max(0L, static_cast<long>(it - section->lines.begin()) - 1);
        }
        for (long l = first; l <= last; ++l) {
            const Line line = lineAt(*section, l);
            if (line.y > bottom) break;
            placeLine(*section, line, [&](long item, const gfx::Rect& frame) {
                if (!frame.intersects(r)) return;
                auto a = CollectionViewLayoutAttributes::layoutAttributesForCell(fnd::IndexPath::forItem(item, s));
                a->setFrame(frame);
                out.push_back(std::move(a));
            });
        }
    }
    return out;
}

CollectionViewLayoutAttributesRef
CollectionViewFlowLayout::layoutAttributesForItemAtIndexPath(const fnd::IndexPath& indexPath) const {
    const long s = indexPath.section(), item = indexPath.item();
    if (indexPath.length() != 2 || s < 0 || s >= static_cast<long>(_sections.size())) return nullptr;
    const Section& section = _sections[static_cast<std::size_t>(s)];
    if (item < 0 || item >= section.count) return nullptr;
    auto a = CollectionViewLayoutAttributes::layoutAttributesForCell(indexPath);
    placeLine(section, lineAt(section, lineOfItem(section, item)), [&](long i, const gfx::Rect& frame) {
        if (i == item) a->setFrame(frame);
    });
    return a;
}

CollectionViewLayoutAttributesRef
CollectionViewFlowLayout::layoutAttributesForSupplementaryViewOfKindAtIndexPath(std::string_view kind,
                                                                                const fnd::IndexPath& indexPath) const {
    const long s = indexPath.section();
    if (kind != CollectionElementKindSectionHeader || s < 0 || s >= static_cast<long>(_sections.size())) return nullptr;
    const Section& section = _sections[static_cast<std::size_t>(s)];
    if (!(section.headerHeight > 0)) return nullptr;
    auto a = CollectionViewLayoutAttributes::layoutAttributesForSupplementaryView(kind, indexPath);
    a->setFrame({0, section.top, width(), section.headerHeight});
    return a;
}

bool CollectionViewFlowLayout::shouldInvalidateLayoutForBoundsChange(const gfx::Rect& newBounds) const {
    return collectionView() != nullptr && newBounds.size.width != collectionView()->bounds().size.width;
}

} // namespace ui
