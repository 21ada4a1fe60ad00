#include <cstdlib>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Qt-backed components must run without a display (CI, test discovery).
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
