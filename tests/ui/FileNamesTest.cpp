// File names between Qt's text and the engine's bytes: every name a folder
// can hold comes back byte for byte, and one that is UTF-8 reads as Qt
// reads it.

#include "FileNames.h"

#include <QFile>
#include <gtest/gtest.h>

#include <vector>

TEST(FileNames, EveryNameComesBackByteForByte)
{
    const std::vector<std::string> names{
        "/music/Song.mp3",
        "/music/Lied \xC3\xA4 \xE2\x82\xAC \xF0\x9F\x8E\xB5.mp3", // UTF-8: a umlaut, the euro sign, a note
        "/music/Lied \xE4.mp3",                                 // Latin-1
        "/music/\xFF\xFE.mp3",
        "/music/cut \xE2\x82.mp3",     // a sequence cut short
        "/music/\xC0\xAF overlong.wav", // an overlong '/'
        "/music/\xED\xA0\x80 surrogate.wav",
        "/music/\xF4\x90\x80\x80 past U+10FFFF.wav",
        "/music/\x80 lone continuation",
        "\xE4",
    };
    for (const std::string& bytes : names) {
        SCOPED_TRACE(bytes);
        const QString text = ui::FileNameFromBytes(bytes);
        EXPECT_EQ(ui::FileNameBytes(text), bytes);
        EXPECT_EQ(ui::FileNameFromBytes(QByteArray::fromStdString(bytes)), text);
        if (bytes[0] == '/') { // a URL names a file by its whole path
            EXPECT_EQ(ui::FileNameFromUrl(ui::FileNameToUrl(text)), text);
        }
        const bool utf8 = QString::fromUtf8(bytes).toStdString() == bytes;
        if (utf8) {
            EXPECT_EQ(text, QFile::decodeName(QByteArray::fromStdString(bytes)));
        } else {
            EXPECT_NE(text, QFile::decodeName(QByteArray::fromStdString(bytes))) << "Qt loses these bytes";
        }
    }
    // Text typed by a person is plain UTF-8.
    EXPECT_EQ(ui::FileNameBytes(QStringLiteral("/tmp/\u00e4\u20ac")), "/tmp/\xC3\xA4\xE2\x82\xAC");
    EXPECT_TRUE(ui::FileNameFromUrl(QUrl(QStringLiteral("https://example.org/a.mp3"))).isEmpty());
}
