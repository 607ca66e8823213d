// GoogleTest entry for the player tests: a QCoreApplication (the player
// needs no widgets) and the media layer started once.

#include "media/render/MediaInit.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("TARNWICK_AUDIO"))
        qputenv("TARNWICK_AUDIO", "null");
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    MediaInitialize();
    const int result = RUN_ALL_TESTS();
    MediaUninitialize();
    return result;
}
