#include "support/TestEnvironment.h"

namespace olm::test {

void installDeterministicDefaults() {
    // Filled in as the platform grows its settable defaults.
}

} // namespace olm::test
