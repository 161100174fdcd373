#include "OLMCore/XQStyleGroup.h"

#include "platform/runtime/KeyValue.h"

#include <algorithm>

OLM_DEFINE_CLASS(XQStyleGroup, rt::Object)

void XQStyleGroup::init(const rt::Class& styledClass) {
    _styledClass = &styledClass;
    _styleID = XQStyleID::make();
}

void XQStyleGroup::setPropertyValue(const rt::Value& value, std::string_view key) {
    // A nil value is stored as null: the theme's "no top border" is written either way.
    rt::Value stored = value.isNil() ? rt::Value::null() : value;
    auto it = std::find_if(_values.begin(), _values.end(), [key](const auto& kv) { return kv.first == key; });
    if (it != _values.end())
        it->second = std::move(stored);
    else
        _values.emplace_back(std::string(key), std::move(stored));
}

const rt::Value* XQStyleGroup::propertyValue(std::string_view key) const {
    auto it = std::find_if(_values.begin(), _values.end(), [key](const auto& kv) { return kv.first == key; });
    return it != _values.end() ? &it->second : nullptr;
}

bool XQStyleGroup::matchesStyleID(const XQStyleID& nodeID) const {
    const long groupState = _styleID->state();
    if ((nodeID.state() & groupState) != groupState) return false;
    const rt::Class* condition = _styleID->conditionClass();
    if (condition == nullptr) return true;
    return nodeID.conditionClass() != nullptr && nodeID.conditionClass()->isSubclassOf(*condition);
}

void XQStyleGroup::applyValuesToNode(XQStyleNode& node) const {
    for (const auto& [key, value] : _values)
        rt::setValueForKey(node, key, value);
}
