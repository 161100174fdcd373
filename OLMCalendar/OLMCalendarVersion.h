#pragma once

// Version stamps exported by the framework, in the form the build tools of the
// original platform emit them.
extern "C" {
extern const unsigned char OLMCalendarVersionString[];
extern const double OLMCalendarVersionNumber;
}
