#pragma once

// Index arithmetic shared by the ordered child lists of layers and views.

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace ui::detail {

// The position of `item` in `list`, if it is there.
template <class T>
std::optional<std::size_t> indexOf(const std::vector<std::shared_ptr<T>>& list, const T* item) {
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& p) { return p.get() == item; });
    if (it == list.end()) return std::nullopt;
    return static_cast<std::size_t>(it - list.begin());
}

// Where `item` has to be inserted to land just below (`above` false) or just above `sibling`,
// counted in the list without `item` (which may already be in it, before or after the
// sibling). Nullopt when the sibling is not in the list.
template <class T>
std::optional<std::size_t> indexBeside(const std::vector<std::shared_ptr<T>>& list, const T* item,
                                       const T* sibling, bool above) {
    std::optional<std::size_t> index = indexOf(list, sibling);
    if (!index) return std::nullopt;
    const std::optional<std::size_t> current = indexOf(list, item);
    if (current && *current < *index) --*index;
    return *index + (above ? 1 : 0);
}

} // namespace ui::detail
