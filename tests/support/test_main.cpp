// main() of every test program: sets the environment the tests expect
// before anything reads it (CTest hands a test only one variable reliably).

#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    setenv("VELOR_TEST_TMP", VELOR_TEST_TMP_DIR, 0);
#if VELOR_TEST_OFFSCREEN
    // Window tests read back their own pixels; they never need a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
