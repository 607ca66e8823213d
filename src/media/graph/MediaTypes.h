#pragma once
// Basic vocabulary of the media layer: result codes, media time (MediaTime.h), pin
// directions, graph states, event codes, class identifiers as text and the
// PCM format that flows between filters.

#include "media/graph/MediaTime.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
constexpr HRESULT E_ABORT = static_cast<HRESULT>(0x80004004u);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
constexpr HRESULT E_UNEXPECTED = static_cast<HRESULT>(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
constexpr HRESULT REGDB_E_CLASSNOTREG = static_cast<HRESULT>(0x80040154u);
constexpr HRESULT VFW_E_NOT_CONNECTED = static_cast<HRESULT>(0x80040209u);
constexpr HRESULT VFW_E_ALREADY_CONNECTED = static_cast<HRESULT>(0x80040204u);
constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = static_cast<HRESULT>(0x8004022Au);
constexpr HRESULT VFW_E_NOT_FOUND = static_cast<HRESULT>(0x80040216u);
constexpr HRESULT VFW_E_CANNOT_RENDER = static_cast<HRESULT>(0x80040218u);
constexpr HRESULT VFW_E_UNSUPPORTED_STREAM = static_cast<HRESULT>(0x80040265u);
constexpr HRESULT VFW_E_INVALID_FILE_FORMAT = static_cast<HRESULT>(0x8004022Fu);
constexpr HRESULT VFW_E_NOT_FOUND_FILE = static_cast<HRESULT>(0x80070002u); // no such file
constexpr HRESULT VFW_S_STATE_INTERMEDIATE = static_cast<HRESULT>(0x00040237);
constexpr HRESULT VFW_E_WRONG_STATE = static_cast<HRESULT>(0x80040227u);
constexpr HRESULT VFW_E_NO_ACCEPTABLE_TYPES = static_cast<HRESULT>(0x80040207u);
constexpr HRESULT VFW_S_DUPLICATE_NAME = static_cast<HRESULT>(0x0004022Du);
constexpr HRESULT E_TIMEOUT = static_cast<HRESULT>(0x80040249u); // VFW_E_TIMEOUT

inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };
enum FILTER_STATE { State_Stopped = 0, State_Paused = 1, State_Running = 2 };

// Graph events.
constexpr long EC_COMPLETE = 1;
constexpr long EC_USERABORT = 2;
constexpr long EC_ERRORABORT = 3;

// Seeking flags of SetPositions.
constexpr unsigned AM_SEEKING_NoPositioning = 0;
constexpr unsigned AM_SEEKING_AbsolutePositioning = 1;

// Video-window booleans.
constexpr long OATRUE = -1;
constexpr long OAFALSE = 0;

// 128-bit class/interface/media-type identifier.
struct GUID {
    std::array<std::uint8_t, 16> bytes{};
    friend bool operator==(const GUID&, const GUID&) = default;
    bool IsNull() const { return *this == GUID{}; }
};
// Parses "B8D27088-DF5F-4B7C-98DC-0E91A1696286", with or without braces,
// any letter case. Empty optional when the text is not an identifier.
std::optional<GUID> GuidFromString(std::string_view text);
std::string GuidToString(const GUID& guid); // upper case, no braces
// Stands in for UuidFromStringA: S_OK, or E_INVALIDARG for bad text.
[[nodiscard]] HRESULT UuidFromString(std::string_view text, GUID* out);

// Major media types.
extern const GUID MEDIATYPE_Audio;   // {73647561-0000-0010-8000-00AA00389B71}
extern const GUID MEDIATYPE_Stream;  // {E436EB83-524F-11CE-9F53-0020AF0BA770}

// Interleaved 32-bit float PCM: what decoders deliver and encoders take.
struct AudioFormat {
    int sampleRate = 0;
    int channels = 0;
    friend bool operator==(const AudioFormat&, const AudioFormat&) = default;
    bool Valid() const { return sampleRate > 0 && channels > 0; }
};
