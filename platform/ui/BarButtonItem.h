#pragma once

// A button of a navigation bar: a title and a target-action pair sent the item when the
// user taps it. The target is held weakly.
//
//     auto today = ui::BarButtonItem::make("Today", ui::BarButtonItemStylePlain, controller,
//                                          &YearController::todayTouched);
//     controller->navigationItem()->setRightBarButtonItem(today);

#include "platform/ui/TargetAction.h"

#include <memory>
#include <string>

namespace ui {

using BarButtonItemStyle = long;
inline constexpr BarButtonItemStyle BarButtonItemStylePlain = 0;
inline constexpr BarButtonItemStyle BarButtonItemStyleDone = 2;

class BarButtonItem : public rt::Object {
public:
    OLM_DECLARE_CLASS(BarButtonItem)
    // `initWithTitle:style:target:action:`; the action takes the item, or nothing.
    template <class T, class Action>
    static std::shared_ptr<BarButtonItem> make(std::string title, BarButtonItemStyle style,
                                               const std::shared_ptr<T>& target, Action action) {
        auto item = make(std::move(title), style);
        item->_actions.add(target, action, 1);
        return item;
    }
    static std::shared_ptr<BarButtonItem> make(std::string title, BarButtonItemStyle style = BarButtonItemStylePlain) {
        return rt::create<BarButtonItem>(std::move(title), style);
    }

    const std::string& title() const { return _title; }
    void setTitle(std::string title) { _title = std::move(title); }
    BarButtonItemStyle style() const { return _style; }
    void setStyle(BarButtonItemStyle style) { _style = style; }

    // Replaces the target and action (a null target leaves none).
    template <class T, class Action> void setTargetAction(const std::shared_ptr<T>& target, Action action) {
        _actions = {};
        _actions.add(target, action, 1);
    }
    // Sends the action to the target, if it is still there.
    void sendAction() { _actions.send(*this, nullptr, 1); }

protected:
    BarButtonItem() = default;
    void init(std::string title, BarButtonItemStyle style) {
        _title = std::move(title);
        _style = style;
    }
    friend class rt::Access;

private:
    std::string _title;
    BarButtonItemStyle _style = BarButtonItemStylePlain;
    TargetActionList _actions;
};

} // namespace ui
