#include "OLMCore/XQTheme.h"

OLM_DEFINE_CLASS(XQTheme, rt::Object)

void XQThemeStyles::applyStylesToNode(XQStyleNode* node) const {
    if (node == nullptr) return;
    XQStyleNode::ThemeApplication application(*node);
    // The node's ID is read once: a setter does not change it while the groups apply.
    const std::shared_ptr<XQStyleID> nodeID = node->styleID();
    for (const auto& group : _groups)
        if (group->matchesStyleID(*nodeID)) group->applyValuesToNode(*node);
}

std::shared_ptr<XQStyleGroup> XQTheme::addStyleGroupWithClass(const rt::Class& cls,
                                                              const Settings& settings) {
    return addStyleGroupWithClassState(cls, 0, settings);
}

std::shared_ptr<XQStyleGroup> XQTheme::addStyleGroupWithClassState(const rt::Class& cls, long state,
                                                                   const Settings& settings) {
    auto group = XQStyleGroup::make(cls);
    group->styleID()->setState(state);
    for (const auto& [key, value] : settings)
        group->setPropertyValue(value, key);
    addStyleGroup(group);
    return group;
}

void XQTheme::addStyleGroup(std::shared_ptr<XQStyleGroup> group) {
    if (!group) return;
    _groups.push_back(std::move(group));
    _stylesCache.clear();
}

std::shared_ptr<const XQThemeStyles> XQTheme::stylesForClass(const rt::Class& cls) const {
    auto it = _stylesCache.find(&cls);
    if (it != _stylesCache.end()) return it->second;
    std::vector<std::shared_ptr<XQStyleGroup>> groups;
    for (const auto& group : _groups)
        if (group->stylesClass(cls)) groups.push_back(group);
    auto styles = std::make_shared<const XQThemeStyles>(std::move(groups));
    _stylesCache.emplace(&cls, styles);
    return styles;
}
