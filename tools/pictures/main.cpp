// velorin-pictures: draws the utility's bitmaps and icon and the device's UI font anew, from
// procedures of ours and glyphs that FreeType renders from free fonts (see utility/res/README.md).
#include "bmp_writer.hpp"
#include "byte_writer.hpp"
#include "font_face.hpp"
#include "ico_writer.hpp"
#include "pictures.hpp"
#include "ui_font_writer.hpp"

#include <CLI/CLI.hpp>

#include <exception>
#include <iostream>

namespace {

// An 8-point dialog font on a 96-dpi handheld: 8 * 96 / 72, about 11 pixels to the em.
constexpr int kUiFontPixels = 11;

}  // namespace

int main(int argc, char** argv)
{
    using namespace velorin::pictures;
    namespace fs = std::filesystem;

    CLI::App app{"Draws the utility's bitmaps and icon and the device's UI font."};
    fs::path out;
    fs::path fontOut;
    fs::path fontDir = "/usr/share/fonts/truetype/dejavu";
    std::string digitFont = "DejaVuSans-ExtraLight.ttf";
    std::string uiFont = "DejaVuSansCondensed.ttf";
    app.add_option("out", out, "the utility's resource folder to write into (utility/res/ of the tree)")->required();
    app.add_option("font-out", fontOut, "the folder of the device's UI font (platform/resources/fonts/ of the tree)")
        ->required();
    app.add_option("--font-dir", fontDir, "where the fonts are")->capture_default_str();
    app.add_option("--digit-font", digitFont, "font of the digit strip")->capture_default_str();
    app.add_option("--ui-font", uiFont, "font of the device's dialogs")->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    try {
        const fs::path bitmaps = out / "bitmaps";
        writeFile(bitmaps / "battery_full.bmp", encodeBmp(drawBattery(true)));
        writeFile(bitmaps / "battery_empty.bmp", encodeBmp(drawBattery(false)));
        writeFile(bitmaps / "charge_symbol.bmp", encodeBmp(drawChargeSymbol()));
        writeFile(bitmaps / "gauge.bmp", encodeBmp(drawGauge()));
        FontFace digits(fontDir / digitFont);
        writeFile(bitmaps / "digits.bmp", encodeBmp(drawDigits(digits)));
        writeFile(out / "velorin.ico", encodeIco(drawIcon()));
        FontFace ui(fontDir / uiFont);
        writeFile(fontOut / "ui_font.bin", encodeUiFont(ui, kUiFontPixels));
    } catch (const std::exception& e) {
        std::cerr << "velorin-pictures: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
