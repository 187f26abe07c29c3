// Every test runs with one application object on the offscreen platform, as the windows need.
#include <gtest/gtest.h>

#include "platform/GuardedApplication.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    GuardedApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
