#include "GestureTestSupport.h"
#include "UITestSupport.h"

#include "platform/graphics/SystemColors.h"
#include "platform/graphics/Text.h"
#include "platform/ui/Button.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace ui;
using namespace ui::test;

namespace {

class Target : public rt::Object {
public:
    static std::shared_ptr<Target> make() { return std::shared_ptr<Target>(new Target()); }
    void hit(Control* sender) {
        ++hits;
        lastSender = sender;
    }
    void withEvent(Control&, Event* event) { events.push_back(event); }
    void plain() { ++plainCalls; }
    int hits = 0;
    int plainCalls = 0;
    Control* lastSender = nullptr;
    std::vector<Event*> events;

private:
    Target() = default;
};

// Logs every touch event of a control by name.
void logControlEvents(Control& control, EventLog& log) {
    const std::pair<ControlEvents, const char*> names[] = {
        {ControlEventTouchDown, "down"},         {ControlEventTouchDownRepeat, "repeat"},
        {ControlEventTouchDragInside, "inside"}, {ControlEventTouchDragOutside, "outside"},
        {ControlEventTouchDragEnter, "enter"},   {ControlEventTouchDragExit, "exit"},
        {ControlEventTouchUpInside, "upInside"}, {ControlEventTouchUpOutside, "upOutside"},
        {ControlEventTouchCancel, "cancel"}};
    for (const auto& [event, name] : names)
        control.addAction([&log, n = std::string(name)](Control&, Event*) { log.push_back(n); }, event);
}

// A 10 x 10 image (scale 1): the left half opaque black, the right half transparent.
gfx::ImageRef halfBlackImage() {
    auto image = gfx::Image::make(10, 10, 1);
    std::uint8_t* data = image->mutableData();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const std::uint32_t pixel = x < 5 ? 0xFF000000u : 0u;
            std::memcpy(data + y * image->stride() + x * 4, &pixel, 4);
        }
    image->markDirty();
    return image;
}

} // namespace

TEST(ControlTargetAction, PairsAreUniqueEventsMergeAndTargetsAreNotRetained) {
    auto control = Control::make();
    auto target = Target::make();

    control->addTarget(target, &Target::hit, ControlEventTouchUpInside);
    control->addTarget(target.get(), &Target::hit, ControlEventTouchUpInside); // the same pair
    control->sendActionsForControlEvents(ControlEventTouchUpInside);
    EXPECT_EQ(target->hits, 1);
    EXPECT_EQ(target->lastSender, control.get());

    // The pair widens to a second event and is still called once per send.
    control->addTarget(target, &Target::hit, ControlEventValueChanged);
    EXPECT_EQ(control->allControlEvents(), ControlEventTouchUpInside | ControlEventValueChanged);
    control->sendActionsForControlEvents(ControlEventTouchUpInside | ControlEventValueChanged);
    EXPECT_EQ(target->hits, 2);
    control->removeTarget(target.get(), &Target::hit, ControlEventTouchUpInside);
    control->sendActionsForControlEvents(ControlEventTouchUpInside);
    EXPECT_EQ(target->hits, 2);
    control->sendActionsForControlEvents(ControlEventValueChanged);
    EXPECT_EQ(target->hits, 3);

    // Other action forms; actions of one event run in the order added.
    std::vector<std::string> order;
    control->addAction([&](Control&, Event*) { order.push_back("first"); }, ControlEventTouchDown);
    control->addTarget(target, &Target::plain, ControlEventTouchDown);
    control->addTarget(target, &Target::withEvent, ControlEventTouchDown);
    control->addAction([&](Control&, Event*) { order.push_back("last"); }, ControlEventTouchDown);
    control->sendActionsForControlEvents(ControlEventTouchDown);
    EXPECT_EQ(order, (std::vector<std::string>{"first", "last"}));
    EXPECT_EQ(target->plainCalls, 1);
    EXPECT_EQ(target->events.size(), 1u);

    // The control does not keep its target alive; a dead target is skipped and dropped.
    std::weak_ptr<Target> weak = target;
    target.reset();
    EXPECT_TRUE(weak.expired());
    control->sendActionsForControlEvents(ControlEventAllEvents);
    EXPECT_EQ(control->allControlEvents(), ControlEventTouchDown);
    EXPECT_EQ(order.size(), 4u);
}

TEST(ControlTracking, TouchEventsInsideOutsideAndRepeat) {
    EventLog log;
    auto root = View::make({0, 0, 400, 400});
    auto control = Control::make({100, 100, 50, 50});
    root->addSubview(control);
    logControlEvents(*control, log);
    TouchScript t(*root);

    t.down(1, {120, 120});
    EXPECT_TRUE(control->isHighlighted());
    EXPECT_TRUE(control->isTracking());
    t.move(1, {210, 120}); // 60 points past the edge: still inside the tracking margin
    t.move(1, {230, 120});
    EXPECT_FALSE(control->isHighlighted());
    t.move(1, {130, 120});
    t.up(1, {130, 120});
    EXPECT_EQ(log, (EventLog{"down", "inside", "outside", "exit", "inside", "enter", "upInside"}));
    EXPECT_FALSE(control->isTracking());
    EXPECT_EQ(control->state(), ControlStateNormal);

    log.clear();
    t.now += 1;
    t.down(1, {120, 120});
    t.move(1, {300, 300});
    t.up(1, {300, 300});
    EXPECT_EQ(log.back(), "upOutside");

    // A quick second tap is a repeat.
    log.clear();
    t.now += 1;
    t.tap({120, 120});
    t.now += 0.1;
    t.tap({122, 121});
    EXPECT_EQ(log, (EventLog{"down", "upInside", "down", "repeat", "upInside"}));

    // A disabled control sends nothing.
    log.clear();
    control->setEnabled(false);
    EXPECT_EQ(control->state(), ControlStateDisabled);
    t.now += 1;
    t.tap({120, 120});
    EXPECT_TRUE(log.empty());
}

TEST(ControlTracking, AButtonWinsSingleTapsButNotDrags) {
    EventLog log;
    auto root = TouchLogView::make("presenter", &log, {0, 0, 400, 400});
    auto button = Button::make(ButtonTypeSystem, {10, 10, 44, 40});
    root->addSubview(button);
    auto recorder = GestureRecorder::make(&log);
    auto tap = TapGestureRecognizer::make(recorder, &GestureRecorder::tap);
    tap->setCancelsTouchesInView(false);
    auto pan = PanGestureRecognizer::make(recorder, &GestureRecorder::pan);
    root->addGestureRecognizer(tap);
    root->addGestureRecognizer(pan);
    logControlEvents(*button, log);
    TouchScript t(*root);

    t.tap({30, 30});
    EXPECT_EQ(log, (EventLog{"down", "upInside"}));
    t.now += 1;
    t.tap({200, 200});
    EXPECT_EQ(countOf(log, "tap:ended"), 1);

    // A drag that starts on the button is a pan: the button's touch is cancelled.
    log.clear();
    t.now += 1;
    t.down(1, {30, 30});
    t.drag(1, {30, 30}, {90, 30}, 300);
    t.up(1, {90, 30});
    EXPECT_EQ(indexIn(log, "cancel"), indexIn(log, "pan:began") - 1);
    EXPECT_EQ(countOf(log, "upInside"), 0);

    // A double tap is not the button's gesture; a disabled button lets the tap through.
    auto doubleTap = TapGestureRecognizer::make(recorder, &GestureRecorder::doubleTap);
    doubleTap->setNumberOfTapsRequired(2);
    doubleTap->setCancelsTouchesInView(false);
    root->addGestureRecognizer(doubleTap);
    t.now += 1;
    t.tap({30, 30});
    t.now += 0.1;
    t.tap({30, 30});
    EXPECT_EQ(countOf(log, "doubleTap:ended"), 1);
    root->removeGestureRecognizer(doubleTap.get());
    button->setEnabled(false);
    t.now += 1;
    t.tap({30, 30});
    EXPECT_EQ(countOf(log, "tap:ended"), 1);
    EXPECT_EQ(log.back(), "presenter.ended");
}

TEST(ButtonContent, ImagesAndTitlesFallBackByState) {
    auto button = Button::make(ButtonTypeSystem);
    const gfx::ImageRef normal = halfBlackImage();
    const gfx::ImageRef selected = halfBlackImage();
    button->setImage(normal, ControlStateNormal);
    button->setImage(selected, ControlStateSelected);
    button->setTitle("Next", ControlStateNormal);
    EXPECT_EQ(button->imageForState(ControlStateHighlighted), normal);
    EXPECT_EQ(button->imageForState(ControlStateSelected | ControlStateHighlighted), selected);
    EXPECT_EQ(button->titleForState(ControlStateDisabled), "Next");
    button->setSelected(true);
    EXPECT_EQ(button->currentImage(), selected);
    EXPECT_EQ(button->titleFont()->pointSize(), 15);

    const gfx::Size title = gfx::sizeWithAttributes("Next", gfx::TextAttributes{button->titleFont(), {}, {}});
    const gfx::Size fits = button->sizeThatFits({});
    EXPECT_NEAR(fits.width, 10 + title.width, 1e-9);
    EXPECT_NEAR(fits.height, std::max(10.0, title.height), 1e-9);
}

TEST(ButtonDrawing, SystemImageIsATemplateInTheTintColour) {
    gfx::test::ScopedGraphicsSettings settings;
    const auto draw = [](Button& b) {
        b.layer()->setNeedsDisplay();
        return snapshot(*b.layer(), {20, 20});
    };
    auto button = Button::make(ButtonTypeSystem, {0, 0, 20, 20});
    button->layer()->setContentsScale(1);
    button->setImage(halfBlackImage(), ControlStateNormal);
    button->setTintColor(gfx::Color::rgba(1, 0, 0));
    // The image sits centred at (5, 5): its opaque half is filled with the tint.
    gfx::ImageRef image = draw(*button);
    EXPECT_EQ(pixel8(image, 7, 10), red);
    EXPECT_EQ(pixel8(image, 12, 10), clear);
    EXPECT_EQ(pixel8(image, 2, 10), clear);

    button->setHighlighted(true);
    image = draw(*button);
    EXPECT_TRUE(near(pixel8(image, 7, 10), Pixel8{255, 0, 0, 51}, 1)) << pixel8(image, 7, 10);

    // A custom button draws the image itself.
    auto custom = Button::make(ButtonTypeCustom, {0, 0, 20, 20});
    custom->layer()->setContentsScale(1);
    custom->setImage(halfBlackImage(), ControlStateNormal);
    custom->setTintColor(gfx::Color::rgba(1, 0, 0));
    image = draw(*custom);
    EXPECT_EQ(pixel8(image, 7, 10), (Pixel8{0, 0, 0, 255}));
}
