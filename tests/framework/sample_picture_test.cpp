// The sample dialog as the screen shows it, compared with a picture that a person has looked
// at. VELORIN_UPDATE_GOLDEN=1 writes the picture anew instead (then look at it again).
#include "tests/sample/sample_app.h"

#include "boot/device.hpp"
#include "gdi/png_file.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

const std::filesystem::path kGolden = std::filesystem::path(VELORIN_TEST_SOURCE_DIR) / "golden" / "sample_dialog.png";

TEST(SamplePicture, TheDialogShowsItsCaptionTextAndButtons)
{
    velorin::platform::Device device;
    device.launch("sample", velorin::sample::sampleMain, velorin::sample::sampleResources());
    device.runUntil(1100);  // the sum shows 1 + 2
    const velorin::gdi::Surface screen = device.windows().composeScreen();
    if (std::getenv("VELORIN_UPDATE_GOLDEN")) {
        velorin::gdi::writePng(kGolden, screen);
        GTEST_SKIP() << "wrote " << kGolden;
    }
    const velorin::gdi::Surface golden = velorin::gdi::readPng(kGolden);
    ASSERT_EQ(screen.width(), golden.width());
    ASSERT_EQ(screen.height(), golden.height());
    int differing = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            differing += screen.pixel(x, y) != golden.pixel(x, y);
    if (differing != 0) {
        const auto actual = std::filesystem::temp_directory_path() / "sample_dialog.actual.png";
        velorin::gdi::writePng(actual, screen);
        ADD_FAILURE() << differing << " pixels differ from " << kGolden << "; the screen is in " << actual;
    }
}

}  // namespace
