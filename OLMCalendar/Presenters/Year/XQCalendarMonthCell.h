#pragma once

// The item of the year view: a collection cell that shows one mini month.

#include "OLMCalendar/Presenters/Year/XQCalendarMonthView.h"
#include "platform/ui/CollectionViewCell.h"

class XQCalendarMonthCell : public ui::CollectionViewCell {
public:
    OLM_DECLARE_CLASS(XQCalendarMonthCell)
    static std::shared_ptr<XQCalendarMonthCell> make(const gfx::Rect& frame = {}) {
        return rt::create<XQCalendarMonthCell>(frame);
    }

    const std::shared_ptr<XQCalendarMonthView>& monthView() const { return _monthView; }
    // Replaces the shown view (nullptr is ignored); the new one fills the whole device pixels
    // the cell covers.
    void setMonthView(std::shared_ptr<XQCalendarMonthView> view);

    // Shows month `month` (from 0) of `year`.
    virtual void attachWithCalendar(XQCalendar* calendar, XQCalendarYearPresenter* presenter, long year, long month);

    void layoutSubviews() override;
    void applyLayoutAttributes(const ui::CollectionViewLayoutAttributesRef& attributes) override;

protected:
    friend struct rt::Access;
    XQCalendarMonthCell() = default;
    void init(const gfx::Rect& frame);

private:
    std::shared_ptr<XQCalendarMonthView> _monthView;
};
