#pragma once

// The header of a year in the year view: a title cell with the year. The cell is made at the
// first attach: the calendar delegate's cell of kind title when it gives a fitting one (a
// title cell not in use), else the stock title cell. Its style carries the condition class
// XQCalendarYearPresenter, so that the themes' year-title group styles it and no other title.

#include "platform/ui/CollectionViewCell.h"

#include <memory>
#include <string>

class XQCalendar;
class XQCalendarTitleCell;

class XQCalendarYearTitleView : public ui::CollectionReusableView {
public:
    OLM_DECLARE_CLASS(XQCalendarYearTitleView)
    static std::shared_ptr<XQCalendarYearTitleView> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarYearTitleView>(frame);
    }

    // nullptr until the first attach.
    const std::shared_ptr<XQCalendarTitleCell>& contentView() const { return _contentView; }
    const std::shared_ptr<XQCalendarTitleCell>& view() const { return _contentView; }

    virtual void attachWithCalendar(XQCalendar* calendar, const std::string& text);

    void layoutSubviews() override;

protected:
    friend struct rt::Access;
    XQCalendarYearTitleView() = default;

private:
    std::shared_ptr<XQCalendarTitleCell> _contentView;
};
