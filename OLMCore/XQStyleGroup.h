#pragma once

// A style group: the values a theme sets, by property name, on the styles of one class of
// styled view (and of its subclasses), optionally only in some states or only on styles that
// carry a condition class.

#include "OLMCore/XQStyleNode.h"
#include "platform/runtime/Value.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

class XQStyleGroup : public rt::Object {
public:
    OLM_DECLARE_CLASS(XQStyleGroup)
    // The group styles views of `styledClass` and its subclasses.
    static std::shared_ptr<XQStyleGroup> make(const rt::Class& styledClass) {
        return rt::create<XQStyleGroup>(styledClass);
    }

    using Values = std::vector<std::pair<std::string, rt::Value>>;

    const rt::Class& styledClass() const { return *_styledClass; }

    // The state (0: every state) and condition class the group asks of a style.
    const std::shared_ptr<XQStyleID>& styleID() const { return _styleID; }

    // Sets (or replaces, keeping its place) the value of a property. A null value clears the
    // property when applied, and so does a nil one: both mean "no value" to the style.
    void setPropertyValue(const rt::Value& value, std::string_view key);
    // The value stored for a key, or nullptr.
    const rt::Value* propertyValue(std::string_view key) const;
    // The values in the order they were first set.
    const Values& values() const { return _values; }

    // Whether the group styles views of `cls`: `cls` is the group's class or a subclass of it.
    bool stylesClass(const rt::Class& cls) const { return cls.isSubclassOf(*_styledClass); }

    // Whether the group applies to a style with this ID: the style's state holds every flag of
    // the group's state (a group for all states has none), and, when the group has a condition
    // class, the style carries that class or a subclass of it.
    bool matchesStyleID(const XQStyleID& nodeID) const;

    // Sets every value on the node through its settable keys; keys the node does not know, and
    // values of the wrong kind, are skipped.
    void applyValuesToNode(XQStyleNode& node) const;

protected:
    friend struct rt::Access;
    XQStyleGroup() = default;
    void init(const rt::Class& styledClass);

private:
    const rt::Class* _styledClass = nullptr;
    std::shared_ptr<XQStyleID> _styleID;
    Values _values;
};
