#include "FileNames.h"

#include <vector>

namespace ui {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the valid UTF-8 sequence at `at` (1 to 4), or 0 when the
// byte there starts none: a stray continuation byte, an overlong form, a
// surrogate, a code point past U+10FFFF or a sequence cut short.
int Utf8SequenceLength(const unsigned char* text, std::size_t size, std::size_t at)
{
    const unsigned char lead = text[at];
    if (lead < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF; // the second byte's range
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // no overlong forms
        else if (lead == 0xED)
            high = 0x9F; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F; // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (at + std::size_t(length) > size)
        return 0;
    if (text[at + 1] < low || text[at + 1] > high)
        return 0;
    for (int i = 2; i < length; ++i)
        if (text[at + std::size_t(i)] < 0x80 || text[at + std::size_t(i)] > 0xBF)
            return 0;
    return length;
}

QString Decode(const unsigned char* text, std::size_t size)
{
    QString name;
    name.reserve(qsizetype(size));
    std::size_t run = 0; // start of the valid text not appended yet
    auto flush = [&](std::size_t end) {
        if (end > run)
            name += QString::fromUtf8(reinterpret_cast<const char*>(text + run), qsizetype(end - run));
    };
    for (std::size_t at = 0; at < size;) {
        const int length = Utf8SequenceLength(text, size, at);
        if (length > 0) {
            at += std::size_t(length);
            continue;
        }
        flush(at);
        name += QChar(char16_t(kEscapeBase + text[at]));
        run = ++at;
    }
    flush(size);
    return name;
}

bool IsEscapedByte(char16_t unit)
{
    return unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF;
}

} // namespace

QString FileNameFromBytes(const QByteArray& bytes)
{
    return Decode(reinterpret_cast<const unsigned char*>(bytes.constData()), std::size_t(bytes.size()));
}

QString FileNameFromBytes(const std::string& bytes)
{
    return Decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::string FileNameBytes(const QString& name)
{
    std::string bytes;
    bytes.reserve(std::size_t(name.size()));
    qsizetype run = 0;
    auto flush = [&](qsizetype end) {
        if (end > run)
            bytes += name.mid(run, end - run).toStdString();
    };
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i].unicode();
        // A low surrogate after a high one is half of a real character.
        const bool paired = i > 0 && name[i - 1].isHighSurrogate();
        if (!IsEscapedByte(unit) || paired)
            continue;
        flush(i);
        bytes += char(unit - kEscapeBase);
        run = i + 1;
    }
    flush(name.size());
    return bytes;
}

QUrl FileNameToUrl(const QString& name)
{
    const QByteArray bytes = QByteArray::fromStdString(FileNameBytes(name));
    return QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/"), QUrl::StrictMode);
}

QString FileNameFromUrl(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    // The path as sent, percent-encoded: its bytes, whatever they are.
    return FileNameFromBytes(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

} // namespace ui
