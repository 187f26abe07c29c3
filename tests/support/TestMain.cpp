// Every test runs with one application object on the offscreen platform, as the windows need, and with a
// program folder of its own, so the settings file a closing search window saves never lands beside the tests.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/GuardedApplication.h"
#include "platform/files/ProgramFolder.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    GuardedApplication app(argc, argv);
    const QTemporaryDir programFolderForTests;
    replaceProgramFolder(programFolderForTests.path().toStdString() + "/");
    return RUN_ALL_TESTS();
}
