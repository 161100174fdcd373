#pragma once

// A theme: an ordered list of style groups. A styled view asks the theme for the groups of
// its own class (stylesForClass) each time it is styled and applies them to its style:
//
//     theme->stylesForClass(cell->objectClass())->applyStylesToNode(cell->style());
//
// Rules of matching:
//   - a group registered for a class also styles the subclasses of that class;
//   - a group matches a style when the style's state contains every flag of the group's state
//     ((nodeState & groupState) == groupState), so a group for all states (state 0) matches
//     every style, a group for state 6 matches weekend days of the current month;
//   - a group with a condition class matches only styles whose XQStyleID carries that class
//     (or a subclass of it); a group without one matches regardless;
//   - matching groups apply in the order they were registered, later ones winning, so the
//     themes register their all-states group first and the more specific groups after it.

#include "OLMCore/XQStyleGroup.h"

#include <unordered_map>

// The groups of a theme that style one class, in registration order; the state and condition
// class are checked against each node when it is styled.
class XQThemeStyles {
public:
    explicit XQThemeStyles(std::vector<std::shared_ptr<XQStyleGroup>> groups) : _groups(std::move(groups)) {}

    // Restores what a theme block wrote on the node, then sets the values of every matching
    // group. A nil node is ignored.
    void applyStylesToNode(XQStyleNode* node) const;
    template <class T> void applyStylesToNode(const std::shared_ptr<T>& node) const {
        applyStylesToNode(static_cast<XQStyleNode*>(node.get()));
    }

    const std::vector<std::shared_ptr<XQStyleGroup>>& groups() const { return _groups; }

private:
    std::vector<std::shared_ptr<XQStyleGroup>> _groups;
};

class XQTheme : public rt::Object {
public:
    OLM_DECLARE_CLASS(XQTheme)
    static std::shared_ptr<XQTheme> make() { return rt::create<XQTheme>(); }

    // Property name to value, in the order the values are set.
    using Settings = std::vector<std::pair<std::string, rt::Value>>;

    // Adds a group for all states of `cls`.
    std::shared_ptr<XQStyleGroup> addStyleGroupWithClass(const rt::Class& cls, const Settings& settings);
    // Adds a group for the styles of `cls` whose state contains `state`.
    std::shared_ptr<XQStyleGroup> addStyleGroupWithClassState(const rt::Class& cls, long state,
                                                              const Settings& settings);
    // Adds a group built by the caller (nullptr is ignored). The group is kept, not copied:
    // values set on it later apply too.
    void addStyleGroup(std::shared_ptr<XQStyleGroup> group);

    const std::vector<std::shared_ptr<XQStyleGroup>>& styleGroups() const { return _groups; }

    // The groups that style views of `cls`. Never null (an empty list when none). The result
    // is cached per class until the next group is added.
    std::shared_ptr<const XQThemeStyles> stylesForClass(const rt::Class& cls) const;

protected:
    friend struct rt::Access;
    XQTheme() = default;

private:
    std::vector<std::shared_ptr<XQStyleGroup>> _groups;
    mutable std::unordered_map<const rt::Class*, std::shared_ptr<const XQThemeStyles>> _stylesCache;
};
