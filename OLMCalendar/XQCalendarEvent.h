#pragma once

// The stock event: the six properties the calendar reads, plus an identifier and two free
// texts for the application. Identifiers come from a process-wide counter that starts at 0
// and is safe to use from several threads at once (data sources build events on their own
// threads), so no two events share one.

#include "OLMCalendar/XQCalendarProtocols.h"
#include "platform/runtime/Object.h"

#include <string>

class XQCalendarEvent : public rt::Object, public XQCalendarEventProtocol {
public:
    OLM_DECLARE_CLASS(XQCalendarEvent)
    static std::shared_ptr<XQCalendarEvent> make() { return rt::create<XQCalendarEvent>(); }

    std::optional<fnd::Date> startDate() const override { return _startDate; }
    void setStartDate(std::optional<fnd::Date> date) override { _startDate = date; }
    std::optional<fnd::Date> endDate() const override { return _endDate; }
    void setEndDate(std::optional<fnd::Date> date) override { _endDate = date; }
    std::string title() const override { return _title; }
    void setTitle(std::string title) override { _title = std::move(title); }
    std::string detail() const override { return _detail; }
    void setDetail(std::string detail) override { _detail = std::move(detail); }
    std::optional<gfx::Color> eventColor() const override { return _eventColor; }
    void setEventColor(std::optional<gfx::Color> color) override { _eventColor = color; }
    bool isAllDay() const override { return _allDay; }
    void setAllDay(bool allDay) override { _allDay = allDay; }

    unsigned long eventId() const { return _eventId; }
    const std::string& location() const { return _location; }
    void setLocation(std::string location) { _location = std::move(location); }
    const std::string& content() const { return _content; }
    void setContent(std::string content) { _content = std::move(content); }

protected:
    friend struct rt::Access;
    XQCalendarEvent() = default;
    // Takes the next identifier and the default colour (the label colour, black without the
    // system colours).
    void init();

private:
    std::optional<fnd::Date> _startDate;
    std::optional<fnd::Date> _endDate;
    std::string _title;
    std::string _detail;
    std::optional<gfx::Color> _eventColor;
    bool _allDay = false;
    unsigned long _eventId = 0;
    std::string _location;
    std::string _content;
};
