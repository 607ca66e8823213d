#include "media/graph/MediaTypes.h"

#include <cstdio>

namespace {

// 128-bit products keep time and frame conversions exact; a GNU extension.
__extension__ typedef __int128 Int128;

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Rounds a / b to the nearest integer (halves away from zero); b > 0.
std::int64_t DivideRounded(Int128 a, Int128 b)
{
    if (a >= 0)
        return static_cast<std::int64_t>((a + b / 2) / b);
    return -static_cast<std::int64_t>((-a + b / 2) / b);
}

} // namespace

// The text holds the identifier as the platform prints it: Data1 (32 bit),
// Data2, Data3 (16 bit each) and eight single bytes. The bytes are kept in the
// platform's memory layout, where the first three fields are little endian
// (so MEDIATYPE_Audio begins with the bytes "auds").
std::optional<GUID> GuidFromString(std::string_view text)
{
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;
    std::array<std::uint8_t, 16> raw{};
    std::size_t n = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i == 8 || i == 13 || i == 18 || i == 23)
            continue;
        const int hi = HexDigit(text[i]);
        const int lo = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        if (hi < 0 || lo < 0)
            return std::nullopt;
        raw[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
        ++i;
    }
    GUID guid;
    guid.bytes = raw;
    // Data1, Data2 and Data3 are stored little endian.
    guid.bytes[0] = raw[3];
    guid.bytes[1] = raw[2];
    guid.bytes[2] = raw[1];
    guid.bytes[3] = raw[0];
    guid.bytes[4] = raw[5];
    guid.bytes[5] = raw[4];
    guid.bytes[6] = raw[7];
    guid.bytes[7] = raw[6];
    return guid;
}

std::string GuidToString(const GUID& guid)
{
    const auto& b = guid.bytes;
    char text[40];
    std::snprintf(text, sizeof text,
                  "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  b[3], b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12],
                  b[13], b[14], b[15]);
    return text;
}

HRESULT UuidFromString(std::string_view text, GUID* out)
{
    if (!out)
        return E_POINTER;
    const auto guid = GuidFromString(text);
    if (!guid)
        return E_INVALIDARG;
    *out = *guid;
    return S_OK;
}

const GUID MEDIATYPE_Audio = *GuidFromString("73647561-0000-0010-8000-00AA00389B71");
const GUID MEDIATYPE_Stream = *GuidFromString("E436EB83-524F-11CE-9F53-0020AF0BA770");

std::int64_t TimeToFrame(REFERENCE_TIME t, int sampleRate)
{
    if (sampleRate <= 0)
        return 0;
    return DivideRounded(static_cast<Int128>(t) * sampleRate, kUnitsPerSecond);
}

REFERENCE_TIME FrameToTime(std::int64_t frame, int sampleRate)
{
    if (sampleRate <= 0)
        return 0;
    return DivideRounded(static_cast<Int128>(frame) * kUnitsPerSecond, sampleRate);
}
