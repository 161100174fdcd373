#pragma once

// Helpers of the transition tests: solid and four-colour snapshots, a delegate that records
// every report, and pixel reads.

#include "OLMCalendar/Transitions/XQViewTransition.h"
#include "platform/foundation/Dispatch.h"
#include "platform/graphics/GraphicsTestSupport.h"
#include "platform/graphics/ImageContext.h"
#include "platform/graphics/Transform3D.h"
#include "platform/ui/Animation.h"
#include "platform/ui/MediaClock.h"

#include <gtest/gtest.h>

#include <vector>

namespace transitions::test {

using gfx::test::Pixel8;
using gfx::test::pixel8;

inline constexpr Pixel8 kRed{255, 0, 0, 255};
inline constexpr Pixel8 kGreen{0, 255, 0, 255};
inline constexpr Pixel8 kBlue{0, 0, 255, 255};
inline constexpr Pixel8 kYellow{255, 255, 0, 255};
inline constexpr Pixel8 kWhite{255, 255, 255, 255};

inline gfx::Color color(const Pixel8& p) {
    return gfx::Color::rgba(p.r / 255.0, p.g / 255.0, p.b / 255.0, p.a / 255.0);
}

// An opaque image of one colour.
inline gfx::ImageRef solidImage(gfx::Size size, const Pixel8& fill, double scale = 1) {
    return gfx::test::render(size, scale, [&](gfx::GraphicsContext& c) {
        c.setFillColor(color(fill));
        c.fillRect({{0, 0}, size});
    });
}

// An image in four quadrants: red top left, green top right, blue bottom left, yellow
// bottom right.
inline gfx::ImageRef quadrantImage(gfx::Size size, double scale = 1) {
    return gfx::test::render(size, scale, [&](gfx::GraphicsContext& c) {
        const double w = size.width / 2, h = size.height / 2;
        const std::pair<gfx::Rect, Pixel8> quadrants[] = {
            {{0, 0, w, h}, kRed}, {{w, 0, w, h}, kGreen}, {{0, h, w, h}, kBlue}, {{w, h, w, h}, kYellow}};
        for (const auto& [rect, fill] : quadrants) {
            c.setFillColor(color(fill));
            c.fillRect(rect);
        }
    });
}

inline bool near(const Pixel8& a, const Pixel8& b, int tolerance = 3) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance && std::abs(a.a - b.a) <= tolerance;
}

// Compares transforms by what they do to points: an animated one comes back from
// interpolation scaled to m44 = 1.
inline void expectTransform(const gfx::Transform3D& actual, const gfx::Transform3D& expected, double eps = 1e-9) {
    const auto a = actual.rows(), e = expected.rows();
    for (std::size_t i = 0; i < a.size(); ++i)
        EXPECT_NEAR(a[i] / actual.m44, e[i] / expected.m44, eps) << "entry " << i;
}

// Records every end report in order.
class RecordingDelegate : public XQViewTransitionDelegate {
public:
    struct Report {
        XQViewTransition* transition;
        bool canceled;
    };
    std::vector<Report> reports;
    // Run inside the report (the calendar and the presenters remove the transition there).
    std::function<void(XQViewTransition*)> onReport;

    void transitionIsCanceled(XQViewTransition& transition, bool canceled) override {
        reports.push_back({&transition, canceled});
        if (onReport) onReport(&transition);
    }
};

// Runs the animation clock by hand: each step moves the media clock on, advances the
// animations and runs what they queued on the main queue (their stops and completions), as
// one frame of the host does.
class TransitionClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        ui::MediaClock::setTime(1000);
        fnd::mainQueue().drain();
    }
    void TearDown() override { fnd::mainQueue().drain(); }

    static void step(double seconds) {
        ui::MediaClock::advance(seconds);
        ui::advanceAnimations();
        fnd::mainQueue().drain();
    }

    // Steps to just before `seconds` from now (no new report yet), then just past it: the
    // delegate has heard exactly one more report, carrying `canceled`.
    static void expectReportAfter(const RecordingDelegate& delegate, double seconds, bool canceled) {
        const std::size_t before = delegate.reports.size();
        step(seconds - 0.001);
        EXPECT_EQ(delegate.reports.size(), before) << "reported early";
        step(0.002);
        ASSERT_EQ(delegate.reports.size(), before + 1) << "no report at the end";
        EXPECT_EQ(delegate.reports.back().canceled, canceled);
    }
};

} // namespace transitions::test
