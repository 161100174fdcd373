// The event model and the calendar's event look-up through both data-source forms.

#include "CalendarTestSupport.h"

#include "OLMCalendar/XQCalendarEvent.h"
#include "platform/graphics/SystemColors.h"

#include <set>
#include <thread>

using namespace cal::test;

namespace {

XQCalendarEvents eventsTitled(std::initializer_list<const char*> titles) {
    XQCalendarEvents events;
    for (const char* title : titles) {
        auto event = XQCalendarEvent::make();
        event->setTitle(title);
        events.push_back(event);
    }
    return events;
}

std::vector<std::string> titles(const XQCalendarEvents& events) {
    std::vector<std::string> result;
    for (const auto& event : events)
        result.push_back(event->title());
    return result;
}

// Answers the day form.
class DaySource : public XQCalendarDataSource {
public:
    std::optional<XQCalendarEvents> calendarEventsForDate(XQCalendar&, const fnd::Date& date) override {
        asked.push_back(text(date));
        return eventsTitled({"day form"});
    }
    bool calendarEventsFromDate(XQCalendar&, const fnd::Date&, const fnd::Date&, EventsCallback) override {
        ++intervalCalls;
        return true;
    }
    std::vector<std::string> asked;
    int intervalCalls = 0;
};

// Answers the interval form in one of several ways.
class IntervalSource : public XQCalendarDataSource {
public:
    enum class Answer { atOnce, throughMainQueue, fromThread, never, twice };
    explicit IntervalSource(Answer answer) : answer(answer) {}

    bool calendarEventsFromDate(XQCalendar&, const fnd::Date& from, const fnd::Date& to,
                                EventsCallback callback) override {
        interval = text(from) + " / " + text(to);
        kept = callback;
        switch (answer) {
        case Answer::atOnce:
            callback(eventsTitled({"now"}));
            break;
        case Answer::throughMainQueue:
            fnd::dispatchAsync(fnd::mainQueue(), [callback] { callback(eventsTitled({"queued"})); });
            break;
        case Answer::fromThread:
            worker = std::thread([callback] { callback(eventsTitled({"threaded"})); });
            break;
        case Answer::twice:
            callback(eventsTitled({"first"}));
            callback(eventsTitled({"second"}));
            break;
        case Answer::never:
            break;
        }
        return true;
    }
    ~IntervalSource() override {
        if (worker.joinable()) worker.join();
    }

    Answer answer;
    std::string interval;
    EventsCallback kept;
    std::thread worker;
};

} // namespace

TEST(CalendarEvent, IdentifiersAreSequentialAndUniqueAcrossThreads) {
    auto first = XQCalendarEvent::make();
    auto second = XQCalendarEvent::make();
    EXPECT_EQ(second->eventId(), first->eventId() + 1);
    EXPECT_EQ(first->eventColor(), gfx::systemColors::label());
    EXPECT_FALSE(first->isAllDay());
    EXPECT_FALSE(first->startDate());
    EXPECT_TRUE(first->location().empty());

    constexpr int threads = 4;
    constexpr int perThread = 500;
    std::vector<std::vector<unsigned long>> ids(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&ids, t] {
            for (int i = 0; i < perThread; ++i)
                ids[static_cast<std::size_t>(t)].push_back(XQCalendarEvent::make()->eventId());
        });
    for (auto& worker : workers)
        worker.join();
    std::set<unsigned long> unique;
    for (const auto& list : ids)
        unique.insert(list.begin(), list.end());
    EXPECT_EQ(unique.size(), static_cast<std::size_t>(threads * perThread));
}

TEST_F(CalendarTest, EventsWithoutAnsweringDataSourceAreEmpty) {
    EXPECT_TRUE(calendar->eventsForDate(day(2026, 12, 1)).empty());
    auto silent = std::make_shared<XQCalendarDataSource>();
    calendar->setDataSource(silent);
    EXPECT_TRUE(calendar->eventsForDate(day(2026, 12, 1)).empty());
    // The data source is held weakly.
    silent.reset();
    EXPECT_EQ(calendar->dataSource(), nullptr);
}

TEST_F(CalendarTest, TheDayFormWinsOverTheIntervalForm) {
    auto source = std::make_shared<DaySource>();
    calendar->setDataSource(source);
    EXPECT_EQ(titles(calendar->eventsForDate(day(2026, 12, 1, 14, 0))),
              (std::vector<std::string>{"day form"}));
    EXPECT_EQ(source->asked, (std::vector<std::string>{"2026-12-01 14:00"}));
    EXPECT_EQ(source->intervalCalls, 0);
}

TEST_F(CalendarTest, TheIntervalFormIsWaitedForWhereverItAnswersFrom) {
    using Answer = IntervalSource::Answer;
    const std::vector<std::pair<Answer, std::vector<std::string>>> cases = {
        {Answer::atOnce, {"now"}},
        {Answer::throughMainQueue, {"queued"}}, // answered while the wait runs the main queue
        {Answer::fromThread, {"threaded"}},
        {Answer::twice, {"first"}},
    };
    calendar->setEventsWaitTimeout(30); // long enough never to matter: each case answers
    for (const auto& [answer, expected] : cases) {
        auto source = std::make_shared<IntervalSource>(answer);
        calendar->setDataSource(source);
        EXPECT_EQ(titles(calendar->eventsForDate(day(2026, 3, 8, 12, 0))), expected);
        // The whole day, built in the calendar (New York changes to summer time that day).
        EXPECT_EQ(source->interval, "2026-03-08 / 2026-03-08 23:59");
    }
}

TEST_F(CalendarTest, ADataSourceThatNeverAnswersGivesUpEmptyAndALateAnswerIsHarmless) {
    auto source = std::make_shared<IntervalSource>(IntervalSource::Answer::never);
    calendar->setDataSource(source);
    calendar->setEventsWaitTimeout(0);
    EXPECT_TRUE(calendar->eventsForDate(day(2026, 12, 1)).empty());

    // The answer arrives after the call has returned, from this thread and from another.
    ASSERT_TRUE(source->kept);
    source->kept(eventsTitled({"late"}));
    std::thread([callback = source->kept] { callback(eventsTitled({"later"})); }).join();

    // The next question is answered on its own.
    source->answer = IntervalSource::Answer::atOnce;
    EXPECT_EQ(titles(calendar->eventsForDate(day(2026, 12, 2))), (std::vector<std::string>{"now"}));
}
