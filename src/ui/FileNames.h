#pragma once
// File names between the pages and the engine. The engine takes a name as
// the bytes the file system holds; Qt shows text. A name that is valid
// UTF-8 becomes the text QFile::decodeName would give. A name with bytes
// that are not (written on another system, say in Latin-1) would lose them
// to U+FFFD in QFile::decodeName; here each such byte becomes the lone
// surrogate U+DC00 + byte, which no decoded text holds, so FileNameBytes
// gives back the very bytes and the file opens, lists, splits and merges.
// Qt shows those characters as boxes.

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <string>

namespace ui {

QString FileNameFromBytes(const QByteArray& bytes);
QString FileNameFromBytes(const std::string& bytes);
// The bytes of a name FileNameFromBytes made (or of any text: UTF-8).
std::string FileNameBytes(const QString& name);

// A local file's URL (from its whole path) and back, keeping every byte
// of the name.
QUrl FileNameToUrl(const QString& name);
// The name of a local file's URL; empty for any other URL.
QString FileNameFromUrl(const QUrl& url);

} // namespace ui
