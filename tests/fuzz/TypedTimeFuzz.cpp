// Any text in the split page's typed time entry. The reading is compared with
// the C library's own strtok and atoi on the page's 12-byte buffer, and an
// accepted time must read back the same from the text it is shown as.

#include "FuzzCheck.h"
#include "TypedTime.h"

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

struct CLibraryReading {
    int fields = 0;
    int values[3] = {0, 0, 0};
};

// Comparable only for text without NUL, which the C buffer would cut.
bool ReadWithCLibrary(std::string_view text, CLibraryReading* out)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    if (text.size() > kTypedTimeMaxChars || text.find('\0') != std::string_view::npos)
        return false;
    char buffer[kTypedTimeMaxChars + 1] = {};
    std::memcpy(buffer, text.data(), text.size());
    for (char* field = std::strtok(buffer, ":"); field; field = std::strtok(nullptr, ":")) {
        // Three fields in 11 characters are at most 7 long: atoi cannot overflow.
        if (out->fields < 3)
            out->values[out->fields] = std::atoi(field);
        ++out->fields;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TypedTime t = ParseTypedTime(text);

    CLibraryReading c;
    if (ReadWithCLibrary(text, &c)) {
        FUZZ_CHECK((c.fields == 3) == (t.status != TypedTimeStatus::BadFormat));
        if (c.fields == 3)
            FUZZ_CHECK(t.hours == c.values[0] && t.minutes == c.values[1] && t.seconds == c.values[2]);
    }
    if (t.status != TypedTimeStatus::Ok)
        return 0;
    FUZZ_CHECK(t.hours >= 0 && t.hours <= 23 && t.minutes >= 0 && t.minutes <= 59 && t.seconds >= 0
               && t.seconds <= 59);
    FUZZ_CHECK(t.milliseconds == (t.hours * 3600 + t.minutes * 60 + t.seconds) * 1000LL);
    FUZZ_CHECK(t.text.size() == 8);
    const TypedTime again = ParseTypedTime(t.text);
    FUZZ_CHECK(again.status == TypedTimeStatus::Ok && again.milliseconds == t.milliseconds && again.text == t.text);
    return 0;
}
