#include "OLMCore/XQStyleNode.h"

#include <algorithm>

OLM_DEFINE_CLASS(XQStyleID, rt::Object)
OLM_DEFINE_CLASS(XQStyleNode, rt::Object)

void XQStyleNode::init() {
    _styleID = XQStyleID::make();
    _settingDefaults = true;
    resetLocalValues();
    _settingDefaults = false;
}

void XQStyleNode::resetLocalValues() {
    _localMask = 0;
    _themeBlockMask = 0;
    _restorers.clear();
}

void XQStyleNode::setStyleID(std::shared_ptr<XQStyleID> styleID) {
    _styleID = styleID ? std::move(styleID) : XQStyleID::make();
}

bool XQStyleNode::canSetValue(PropertyBits bits) {
    if (bits == 0 || _settingDefaults) return true;
    if (_themeApplicationDepth > 0) return (bits & _localMask) == 0;
    if (_themeBlockDepth > 0) {
        _themeBlockMask |= bits;
        return true;
    }
    // The application's own value: it wins over the theme from now on, and over what a theme
    // block wrote before (which must then not be restored over it).
    _localMask |= bits;
    if ((_themeBlockMask & bits) != 0) {
        _themeBlockMask &= ~bits;
        std::erase_if(_restorers, [bits](const Restorer& r) { return (r.bits & bits) != 0; });
    }
    return true;
}

bool XQStyleNode::needsRestorer(PropertyBits bits) const {
    return bits != 0 && !_settingDefaults && _themeApplicationDepth == 0 && _themeBlockDepth > 0 &&
           (bits & ~_themeBlockMask) != 0;
}

void XQStyleNode::restoreThemeBlockValues() {
    // Newest first, so that overlapping bit sets end at the oldest saved value.
    for (auto it = _restorers.rbegin(); it != _restorers.rend(); ++it)
        it->restore();
    _restorers.clear();
    _themeBlockMask = 0;
}

void XQStyleNode::beginThemeBlock() {
    ++_themeBlockDepth;
}

void XQStyleNode::endThemeBlock() {
    if (_themeBlockDepth > 0) --_themeBlockDepth;
}

XQStyleNode::ThemeApplication::ThemeApplication(XQStyleNode& node) : _node(node) {
    _node.restoreThemeBlockValues();
    ++_node._themeApplicationDepth;
}

XQStyleNode::ThemeApplication::~ThemeApplication() {
    --_node._themeApplicationDepth;
}
