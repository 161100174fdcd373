#pragma once

namespace olm::test {

// Fixes the process-wide defaults every test relies on: time zone, locale, the clock's
// "now", the screen scale, the appearance and the media clock. Called once by the test
// main; tests that change a default restore it with the scoped helpers of the platform
// (fnd::ScopedDefaults for the foundation defaults).
//
// Foundation defaults:
// - the calling thread (the test main's) is the main thread;
// - current locale "en_US" (first weekday Sunday, one day in the first week);
// - default time zone "America/New_York" (not UTC, so that local and UTC dates differ);
// - "now" fixed at Tuesday 2026-12-15 10:30:00 in New York (15:30:00 UTC, Unix time
//   1797348600), away from month ends and daylight-saving changes.
//
// UI defaults:
// - the media clock (animations) is in manual mode at 1000 s when every test starts; it
//   moves only when the test sets or advances it (ui::MediaClock, ui::TestDriver);
// - under OLM_FRAMES=verify, a frame made by damage that differs from the whole frame fails
//   the running test.
void installDeterministicDefaults();

} // namespace olm::test
