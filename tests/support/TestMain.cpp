#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    olm::test::installDeterministicDefaults();
    return RUN_ALL_TESTS();
}
