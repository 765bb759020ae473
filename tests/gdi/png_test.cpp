// PNG pictures: what is written reads back pixel for pixel, the same bytes every time, and
// failures name the file.
#include "gdi/png_file.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace velorin::gdi {
namespace {

namespace fs = std::filesystem;

fs::path scratch(const std::string& name)
{
    const fs::path dir = fs::path(::testing::TempDir()) / "velorin-png-test";
    fs::create_directories(dir);
    return dir / name;
}

std::string bytesOf(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A message of what `body` threw, or "" when it did not throw.
template <class Body> std::string errorOf(Body body)
{
    try {
        body();
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "";
}

TEST(Png, WhatIsWrittenReadsBackPixelForPixelAndTheSameBytesEachTime)
{
    Surface picture(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            picture.setPixel(x, y,
                             rgb(static_cast<std::uint8_t>(x * 36), static_cast<std::uint8_t>(y * 60),
                                 static_cast<std::uint8_t>(255 - x * y)));
    const fs::path a = scratch("a.png");
    const fs::path b = scratch("b.png");
    writePng(a, picture);
    writePng(b, picture);
    EXPECT_EQ(readPng(a), picture);
    EXPECT_EQ(bytesOf(a), bytesOf(b));
    EXPECT_EQ(bytesOf(a).substr(1, 3), "PNG");

    // A picture handed over writes from its own storage: the same file.
    const fs::path c = scratch("c.png");
    writePng(c, Surface(picture));
    EXPECT_EQ(bytesOf(c), bytesOf(a));
}

TEST(Png, FailuresNameTheFile)
{
    const fs::path nowhere = scratch("no such folder") / "x.png";
    EXPECT_NE(errorOf([&] { writePng(nowhere, Surface(2, 2)); }).find(nowhere.string() + ": cannot write"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { writePng(scratch("empty.png"), Surface()); }).find("empty.png: cannot write"),
              std::string::npos);
    EXPECT_NE(errorOf([&] { readPng(nowhere); }).find(nowhere.string() + ": cannot read"), std::string::npos);
    const fs::path text = scratch("text.png");
    std::ofstream(text) << "not a picture\n";
    EXPECT_NE(errorOf([&] { readPng(text); }).find(text.string() + ": cannot read the PNG: "), std::string::npos);
}

}  // namespace
}  // namespace velorin::gdi
