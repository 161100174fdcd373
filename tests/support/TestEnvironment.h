#pragma once

namespace olm::test {

// Fixes the process-wide defaults every test relies on: time zone, locale, the
// clock's "now", the screen scale and the appearance. Called once by the test main;
// tests that change a default restore it with the scoped helpers of the platform.
void installDeterministicDefaults();

} // namespace olm::test
