// The comparison catches what it is there to catch: a difference nobody listed, a listing that
// no longer holds, a CE-only claim that is wrong, and records laid out with the wrong WCHAR.
#include "conformance/headers/comparison.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace velorin::conformance {
namespace {

Line constant(const std::string& name, std::int64_t value)
{
    Line line;
    line.kind = "constant";
    line.name = name;
    line.numbers[0] = value;
    return line;
}

Line record(const std::string& name, std::int64_t size, std::int64_t alignment)
{
    Line line;
    line.kind = "record";
    line.name = name;
    line.numbers[0] = size;
    line.numbers[1] = alignment;
    return line;
}

Line field(const std::string& name, std::int64_t offset, std::int64_t size, std::int64_t alignment,
           const std::string& shape)
{
    Line line;
    line.kind = "field";
    line.name = name;
    line.numbers[0] = offset;
    line.numbers[1] = size;
    line.numbers[2] = alignment;
    line.shape = shape;
    return line;
}

std::vector<ExpectedDifference> expected(const std::string& text)
{
    std::istringstream in(text);
    return parseExpectedDifferences(in, "expected_differences.txt");
}

std::vector<CeOnlyListing> ceOnly(const std::string& text)
{
    std::istringstream in(text);
    return parseCeOnly(in, "ce_only.txt");
}

const std::string kPage = "CE differs: DEVMODE (Windows CE 5.0) https://learn.microsoft.com/x";

TEST(HeaderComparison, DifferencesMustBeListedWithBothValues)
{
    ComparisonInput input;
    input.device = {constant("DMDO_270", 4), constant("WM_PAINT", 15)};
    input.desktop = {constant("DMDO_270", 3), constant("WM_PAINT", 15)};

    ComparisonReport report = compare(input);
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_NE(report.errors[0].find("constant DMDO_270"), std::string::npos);
    EXPECT_EQ(report.agreeWithDesktop, 1);

    input.expected = expected("constant DMDO_270 | device = 4 | desktop = 3 | " + kPage + "\n");
    report = compare(input);
    EXPECT_TRUE(report.errors.empty());
    EXPECT_EQ(report.listed["CE differs"], 1);

    // The device's value moved on: the listing no longer describes the difference.
    input.device[0] = constant("DMDO_270", 8);
    EXPECT_EQ(compare(input).errors.size(), 1u);
}

TEST(HeaderComparison, AListingThatNoLongerDiffersFails)
{
    ComparisonInput input;
    input.device = {constant("DMDO_270", 3)};
    input.desktop = {constant("DMDO_270", 3)};
    input.expected = expected("constant DMDO_270 | device = 4 | desktop = 3 | " + kPage + "\n");

    const ComparisonReport report = compare(input);
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_NE(report.errors[0].find("no longer differs"), std::string::npos);
}

TEST(HeaderComparison, WhatTheDesktopLacksMustBeListedAsCeOnly)
{
    ComparisonInput input;
    input.device = {constant("EVENT_SET", 3), constant("WM_PAINT", 15)};
    input.desktop = {constant("WM_PAINT", 15)};
    EXPECT_EQ(compare(input).errors.size(), 1u);

    input.ceOnly = ceOnly("EVENT_SET | EventModify https://learn.microsoft.com/x\n");
    ComparisonReport report = compare(input);
    EXPECT_TRUE(report.errors.empty());
    EXPECT_EQ(report.ceOnly, 1);

    // A name the desktop has is compared, never waved through as CE-only.
    input.ceOnly = ceOnly("EVENT_SET WM_PAINT | EventModify https://learn.microsoft.com/x\n");
    report = compare(input);
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_NE(report.errors[0].find("constant WM_PAINT"), std::string::npos);
}

TEST(HeaderComparison, TheCeLayerMustAgreeWithTheDevice)
{
    ComparisonInput input;
    input.device = {constant("EVENT_SET", 3)};
    input.ceLayer = {constant("EVENT_SET", 2)};
    input.ceOnly = ceOnly("EVENT_SET | EventModify https://learn.microsoft.com/x\n");

    const ComparisonReport report = compare(input);
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_NE(report.errors[0].find("the ce layer"), std::string::npos);
}

TEST(HeaderComparison, AnOlderWin32BuildIsNoticed)
{
    ComparisonInput input;
    input.device = {constant("WM_PAINT", 15)};
    input.desktop = {constant("WM_PAINT", 15), constant("WM_TIMER", 0x113)};

    const ComparisonReport report = compare(input);
    ASSERT_EQ(report.errors.size(), 1u);
    EXPECT_NE(report.errors[0].find("make win32"), std::string::npos);
}

TEST(HeaderComparison, ConstantsOnlyThe32BitHeadersDeclareAreComparedThere)
{
    ComparisonInput input;
    input.device = {constant("DWL_USER", 8)};
    input.desktop32bit = {constant("DWL_USER", 4)};
    EXPECT_EQ(compare(input).errors.size(), 1u);
    input.desktop32bit = {constant("DWL_USER", 8)};
    EXPECT_EQ(compare(input).agreeWithDesktop, 1);
}

TEST(HeaderComparison, ReasonsNameTheirCePage)
{
    EXPECT_THROW(expected("constant DMDO_270 | device = 4 | desktop = 3 | CE differs: DEVMODE\n"), std::runtime_error);
    EXPECT_THROW(expected("constant DMDO_270 | device = 4 | desktop = 3 | it is so\n"), std::runtime_error);
    EXPECT_THROW(ceOnly("EVENT_SET | EventModify\n"), std::runtime_error);
}

TEST(WcharLayout, RecordsWithTextAreLaidOutWithATwoByteWchar)
{
    // CE's display record in small, compiled with a 4-byte WCHAR: text, a WORD, a DWORD.
    const WcharLayout laidOut = withTwoByteWchar({
        record("MODE", 16, 4),
        field("MODE.name", 0, 8, 4, "array<wchar, 2>"),
        field("MODE.size", 8, 2, 2, "uint16"),
        field("MODE.fields", 12, 4, 4, "uint32"),
    });
    ASSERT_TRUE(laidOut.problems.empty());
    EXPECT_EQ(laidOut.lines[0].value(), "size 12 align 4");
    EXPECT_EQ(laidOut.lines[0].asCompiled, "size 16 align 4");
    EXPECT_EQ(laidOut.lines[1].value(), "offset 0 size 4 align 2 array<wchar, 2>");
    EXPECT_EQ(laidOut.lines[2].value(), "offset 4 size 2 align 2 uint16");
    EXPECT_EQ(laidOut.lines[3].value(), "offset 8 size 4 align 4 uint32");
}

TEST(WcharLayout, ARecordWithAFieldLeftOutIsReported)
{
    const WcharLayout layout = withTwoByteWchar({
        record("RECT", 16, 4),
        field("RECT.left", 0, 4, 4, "int32"),
        field("RECT.top", 4, 4, 4, "int32"),
        field("RECT.bottom", 12, 4, 4, "int32"),
    });
    ASSERT_EQ(layout.problems.size(), 1u);
    EXPECT_NE(layout.problems[0].find("record RECT"), std::string::npos);
}

}  // namespace
}  // namespace velorin::conformance
