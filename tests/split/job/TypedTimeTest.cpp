// The split page's typed time entry: what a user can type and which message
// each mistake earns.

#include "TypedTime.h"

#include <gtest/gtest.h>

namespace {

void ExpectTime(const char* typed, const char* shown, std::int64_t ms)
{
    const TypedTime t = ParseTypedTime(typed);
    ASSERT_EQ(t.status, TypedTimeStatus::Ok) << '"' << typed << '"';
    EXPECT_EQ(t.text, shown) << '"' << typed << '"';
    EXPECT_EQ(t.milliseconds, ms) << '"' << typed << '"';
}

void ExpectStatus(const char* typed, TypedTimeStatus status)
{
    EXPECT_EQ(ParseTypedTime(typed).status, status) << '"' << typed << '"';
}

} // namespace

TEST(TypedTime, ThreeFieldsBecomeAPaddedClockAndMilliseconds)
{
    ExpectTime(kTypedTimeInitialText, "00:00:00", 0);
    ExpectTime("1:2:3", "01:02:03", 3'723'000);
    ExpectTime("23:59:59", "23:59:59", 86'399'000);
}

TEST(TypedTime, ColonsSplitFieldsLikeStrtok)
{
    ExpectTime("::1:2:3::", "01:02:03", 3'723'000);
    ExpectTime("1:::2::3", "01:02:03", 3'723'000);
    for (const char* bad : {"", ":::", "1:2", "1:2:3:4", "12:34", "::5::"})
        ExpectStatus(bad, TypedTimeStatus::BadFormat);
}

TEST(TypedTime, FieldsAreReadLikeAtoi)
{
    ExpectTime("aa:bb:cc", "00:00:00", 0);
    ExpectTime(" 7:+8:9x", "07:08:09", 25'689'000);
    ExpectTime("1h:2m:3s", "01:02:03", 3'723'000);
    ExpectTime("-0:-0:-0", "00:00:00", 0);
    ExpectTime("1 2:3:4", "01:03:04", 3'784'000);
}

TEST(TypedTime, SurroundingBlanksAreIgnoredButLongTextIsRefused)
{
    ExpectTime("\t  01:02:03  \n", "01:02:03", 3'723'000);
    ExpectTime("0000001:2:3", "01:02:03", 3'723'000); // 11 characters: the most that fits
    ExpectStatus("00000001:2:3", TypedTimeStatus::BadFormat);
    ExpectStatus("01:02:03.500", TypedTimeStatus::BadFormat);
}

TEST(TypedTime, RangeErrorsComeInThePagesOrder)
{
    ExpectStatus("24:00:00", TypedTimeStatus::BadHours);
    ExpectStatus("-1:00:00", TypedTimeStatus::BadHours);
    ExpectStatus("99:99:99", TypedTimeStatus::BadHours);
    ExpectStatus("00:60:00", TypedTimeStatus::BadMinutes);
    ExpectStatus("0:-1:60", TypedTimeStatus::BadMinutes);
    ExpectStatus("00:00:60", TypedTimeStatus::BadSeconds);
    ExpectStatus("0:0:9999999", TypedTimeStatus::BadSeconds);
}
