#pragma once

// The display and the device the control runs on, as settings a host or a test changes:
// the main screen's size in points and scale (pixels per point), the device's interface
// idiom (phone or pad) and its physical orientation. Nothing follows a change by itself:
// a window made afterwards takes the new screen size, and code that asks (a transition
// choosing its perspective by idiom and orientation) sees the new values. Main thread only.
//
//     ui::Screen::mainScreen().setSize({1024, 1366});
//     ui::Device::currentDevice().setUserInterfaceIdiom(ui::UserInterfaceIdiomPad);

#include "platform/graphics/Geometry.h"

namespace ui {

class Screen {
public:
    static Screen& mainScreen();

    // The screen in points, origin at the top left. 390 × 844 unless set.
    gfx::Rect bounds() const { return {{0, 0}, _size}; }
    gfx::Size size() const { return _size; }
    // Negative or non-finite sizes are ignored.
    void setSize(gfx::Size size);
    // Pixels per point: the process-wide gfx::screenScale(), which every backing store and
    // snapshot at scale 0 uses.
    double scale() const;
    // Values that are not finite or not above zero are ignored.
    void setScale(double scale);

private:
    Screen() = default;
    gfx::Size _size{390, 844};
};

using UserInterfaceIdiom = long;
inline constexpr UserInterfaceIdiom UserInterfaceIdiomUnspecified = -1;
inline constexpr UserInterfaceIdiom UserInterfaceIdiomPhone = 0;
inline constexpr UserInterfaceIdiom UserInterfaceIdiomPad = 1;

using DeviceOrientation = long;
inline constexpr DeviceOrientation DeviceOrientationUnknown = 0;
inline constexpr DeviceOrientation DeviceOrientationPortrait = 1;
inline constexpr DeviceOrientation DeviceOrientationPortraitUpsideDown = 2;
inline constexpr DeviceOrientation DeviceOrientationLandscapeLeft = 3;
inline constexpr DeviceOrientation DeviceOrientationLandscapeRight = 4;
inline constexpr DeviceOrientation DeviceOrientationFaceUp = 5;
inline constexpr DeviceOrientation DeviceOrientationFaceDown = 6;

// Only the two landscape values (3 and 4) are landscape; the two portrait values (1 and 2)
// portrait. Unknown, face up, face down and out-of-range values are neither.
constexpr bool deviceOrientationIsLandscape(DeviceOrientation o) {
    return o == DeviceOrientationLandscapeLeft || o == DeviceOrientationLandscapeRight;
}
constexpr bool deviceOrientationIsPortrait(DeviceOrientation o) {
    return o == DeviceOrientationPortrait || o == DeviceOrientationPortraitUpsideDown;
}

class Device {
public:
    static Device& currentDevice();

    // Phone unless set. Stored as given: callers handle values other than 0 and 1.
    UserInterfaceIdiom userInterfaceIdiom() const { return _idiom; }
    void setUserInterfaceIdiom(UserInterfaceIdiom idiom) { _idiom = idiom; }
    // Portrait unless set. Stored as given (the platform's values are 0 to 6).
    DeviceOrientation orientation() const { return _orientation; }
    void setOrientation(DeviceOrientation orientation) { _orientation = orientation; }

private:
    Device() = default;
    UserInterfaceIdiom _idiom = UserInterfaceIdiomPhone;
    DeviceOrientation _orientation = DeviceOrientationPortrait;
};

} // namespace ui
