// GoogleTest entry for the engine tests: the media layer is started once, as
// the program and tarnwick-cli start it.

#include "media/render/MediaInit.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    MediaInitialize();
    const int result = RUN_ALL_TESTS();
    MediaUninitialize();
    return result;
}
