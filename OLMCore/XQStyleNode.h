#pragma once

// Style objects: plain property holders that a theme fills by key and that the application
// (or a delegate restyling one cell) may change by hand.
//
// Three writers meet on every property, and XQStyleNode keeps the bookkeeping that decides
// which of them wins, so that the style classes themselves stay a list of fields:
//
//   - the application, setting a property directly (outside a theme application and outside
//     a theme block): the value is "local" and sticks; the theme never overwrites it again
//     (until resetLocalValues);
//   - the theme, through XQTheme / XQThemeStyles::applyStylesToNode: it writes every
//     property that is not local;
//   - a delegate inside beginThemeBlock()/endThemeBlock(): it may write any property, but
//     what it writes lasts only until the next application of the theme, which first puts
//     every property written in the block back to the value it had before the block. A cell
//     restyled for one date thus does not carry that look to the next date it is reused for.
//
// A style class gives each guarded property a bit of its own (unique within the class and its
// superclasses) and passes it, with the field, to canSetValue() in the setter. It sets its
// defaults in resetLocalValues() by assigning the fields directly, after calling its
// superclass's version:
//
//     class MyCellStyle : public XQStyleNode {
//     public:
//         OLM_DECLARE_CLASS(MyCellStyle)
//         static std::shared_ptr<MyCellStyle> make() { return rt::create<MyCellStyle>(); }
//
//         const std::optional<gfx::Color>& textColor() const { return _textColor; }
//         void setTextColor(std::optional<gfx::Color> c) {
//             if (canSetValue(0x2, _textColor)) _textColor = std::move(c);
//         }
//         bool wrapText() const { return _wrapText; }
//         void setWrapText(bool v) { _wrapText = v; }      // unguarded: always stores
//
//         void resetLocalValues() override {
//             XQStyleNode::resetLocalValues();
//             _textColor = gfx::Color::rgb8(3, 3, 3);
//         }
//
//     protected:
//         friend struct rt::Access;
//         MyCellStyle() = default;
//
//     private:
//         std::optional<gfx::Color> _textColor;
//         bool _wrapText = false;
//     };
//
// A style class with an initialiser of its own runs XQStyleNode::init() first (it makes the
// style ID and runs resetLocalValues()).
//
// The two-argument canSetValue() is what lets a theme block be undone: it remembers the
// field's value before the block's first write to it. The one-argument form keeps the
// published shape of the call and the same bookkeeping, but a value written through it
// inside a theme block cannot be restored (only a later theme value replaces it).

#include "platform/runtime/Object.h"

#include <functional>
#include <memory>
#include <utility>
#include <vector>

// The state a styled view writes into its style, and the condition class a style carries, on
// which a theme's style groups are matched.
class XQStyleID : public rt::Object {
public:
    OLM_DECLARE_CLASS(XQStyleID)
    static std::shared_ptr<XQStyleID> make() { return rt::create<XQStyleID>(); }

    long state() const { return _state; }
    void setState(long state) { _state = state; }

    // nullptr: no condition class.
    const rt::Class* conditionClass() const { return _conditionClass; }
    void setConditionClass(const rt::Class* cls) { _conditionClass = cls; }
    void setConditionClass(const rt::Class& cls) { _conditionClass = &cls; }

protected:
    friend struct rt::Access;
    XQStyleID() = default;

private:
    long _state = 0;
    const rt::Class* _conditionClass = nullptr;
};

class XQStyleNode : public rt::Object {
public:
    OLM_DECLARE_CLASS(XQStyleNode)
    static std::shared_ptr<XQStyleNode> make() { return rt::create<XQStyleNode>(); }

    // A property's bit (or several bits at once); 0 means "not guarded".
    using PropertyBits = unsigned long;

    // Whether a setter may store its value now; records who wrote the property (see above).
    bool canSetValue(PropertyBits bits);

    // The same, remembering `field`'s current value when a theme block writes it for the
    // first time, so that the next theme application can put it back.
    template <class T> bool canSetValue(PropertyBits bits, T& field) {
        if (needsRestorer(bits))
            _restorers.push_back({bits, [&field, saved = field]() mutable { field = std::move(saved); }});
        return canSetValue(bits);
    }

    // Every node has a style ID (a fresh one with state 0 and no condition class until one is
    // set); setting nullptr installs a fresh one, so styleID() is never null.
    const std::shared_ptr<XQStyleID>& styleID() const { return _styleID; }
    void setStyleID(std::shared_ptr<XQStyleID> styleID);

    // Brackets a delegate's restyling of one cell. Nests; an unbalanced end is ignored.
    void beginThemeBlock();
    void endThemeBlock();
    bool isInThemeBlock() const { return _themeBlockDepth > 0; }

    // Sets the defaults. Subclasses call this first, then assign their fields directly. The
    // base forgets which values were local and drops what a theme block would restore.
    virtual void resetLocalValues();

    // The bits the application has set directly (they survive re-theming).
    PropertyBits localValuesMask() const { return _localMask; }

    // Marks the node as being styled by a theme for the lifetime of the object: properties
    // written in a theme block are first restored, then setters accept every property that is
    // not local. Used by XQThemeStyles::applyStylesToNode.
    class ThemeApplication {
    public:
        explicit ThemeApplication(XQStyleNode& node);
        ~ThemeApplication();
        ThemeApplication(const ThemeApplication&) = delete;
        ThemeApplication& operator=(const ThemeApplication&) = delete;

    private:
        XQStyleNode& _node;
    };

protected:
    friend struct rt::Access;
    XQStyleNode() = default;
    // Runs resetLocalValues(); setters it calls are treated as defaults, not as local values.
    void init();
    // A guarded setter's body: stores `value` in `field` when the property's bit may be
    // written now.
    template <class T, class V> void guardedSet(PropertyBits bit, T& field, V&& value) {
        if (canSetValue(bit, field)) field = std::forward<V>(value);
    }

private:
    struct Restorer {
        PropertyBits bits;
        std::function<void()> restore;
    };

    bool needsRestorer(PropertyBits bits) const;
    void restoreThemeBlockValues();

    std::shared_ptr<XQStyleID> _styleID;
    PropertyBits _localMask = 0;
    PropertyBits _themeBlockMask = 0;
    std::vector<Restorer> _restorers;
    int _themeBlockDepth = 0;
    int _themeApplicationDepth = 0;
    bool _settingDefaults = false;
};
