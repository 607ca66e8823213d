#include "TypedTime.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <vector>

namespace {

// The blanks of C's isspace in the "C" locale, which atoi skips.
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// atoi without its undefined overflow: the value saturates at the int range.
int AtoiSaturating(std::string_view field)
{
    std::size_t i = 0;
    while (i < field.size() && IsBlank(field[i]))
        ++i;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    long long value = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) {
        value = value * 10 + (field[i] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // saturated; more digits cannot overflow
    }
    if (negative)
        return value > static_cast<long long>(INT_MAX) ? INT_MIN : -static_cast<int>(value);
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

// The fields strtok would return for the delimiter ':'.
std::vector<std::string_view> Fields(std::string_view text)
{
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t start = text.find_first_not_of(':', at);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(text.find(':', start), text.size());
        fields.push_back(text.substr(start, end - start));
        at = end;
    }
    return fields;
}

} // namespace

TypedTime ParseTypedTime(std::string_view text)
{
    TypedTime result;
    text = Trimmed(text);
    if (text.size() > kTypedTimeMaxChars)
        return result;
    const std::vector<std::string_view> fields = Fields(text);
    if (fields.size() != 3)
        return result;
    result.hours = AtoiSaturating(fields[0]);
    result.minutes = AtoiSaturating(fields[1]);
    result.seconds = AtoiSaturating(fields[2]);
    if (result.hours < 0 || result.hours > 23) {
        result.status = TypedTimeStatus::BadHours;
        return result;
    }
    if (result.minutes < 0 || result.minutes > 59) {
        result.status = TypedTimeStatus::BadMinutes;
        return result;
    }
    if (result.seconds < 0 || result.seconds > 59) {
        result.status = TypedTimeStatus::BadSeconds;
        return result;
    }
    result.status = TypedTimeStatus::Ok;
    result.milliseconds =
        (static_cast<std::int64_t>(result.hours) * 3600 + result.minutes * 60 + result.seconds) * 1000;
    char formatted[16];
    std::snprintf(formatted, sizeof formatted, "%02d:%02d:%02d", result.hours, result.minutes, result.seconds);
    result.text = formatted;
    return result;
}
