// GoogleTest entry for the GUI tests: one QApplication for the whole run,
// offscreen and without a sound device unless the caller chose otherwise,
// with settings kept in a folder of its own instead of the user's, and the
// media layer started as the program starts it.

#include "media/render/MediaInit.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("TARNWICK_AUDIO"))
        qputenv("TARNWICK_AUDIO", "null");
    const QTemporaryDir config;
    if (!config.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    MediaInitialize();
    const int result = RUN_ALL_TESTS();
    MediaUninitialize();
    return result;
}
