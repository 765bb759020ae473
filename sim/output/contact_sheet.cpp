// `--sheet FILE.png`: the moments of a run side by side, laid out and written as a PNG.
#include "sim/output/contact_sheet.hpp"

#include "gdi/png_file.hpp"
#include "sim/output/picture_tools.hpp"
#include "sim/output/readable_time.hpp"

#include <algorithm>

namespace velorin::sim {

namespace {

constexpr gdi::Rgb kBackground = 0x2B2B2B;
constexpr gdi::Rgb kFrame = 0x6A6A6A;
constexpr gdi::Rgb kTitleColour = 0xF0F0F0;
constexpr gdi::Rgb kTimeColour = 0x9EC3FF;
constexpr gdi::Rgb kWhereColour = 0x9A9A9A;
constexpr gdi::Rgb kWhatColour = 0xF0F0F0;
constexpr int kMargin = 12;
constexpr int kGap = 12;
constexpr int kLabelGap = 4;

int titleHeight()
{
    return textLineHeight() + kMargin;
}

int cellHeight()
{
    return ContactSheet::kPictureSide + kLabelGap + 3 * textLineHeight();
}

}  // namespace

std::string pictureLabel(const SheetCell& cell)
{
    if (!cell.pictureAt)
        return std::string();
    std::string label = "picture at " + readableTime(*cell.pictureAt);
    if (!cell.pictureNote.empty())
        label += ": " + cell.pictureNote;
    return label;
}

void ContactSheet::add(DeviceTime at, const gdi::Surface& screen, std::string where, std::string what)
{
    SheetCell cell;
    cell.at = at;
    cell.where = std::move(where);
    cell.what = std::move(what);
    add(std::move(cell), screen);
}

void ContactSheet::add(SheetCell cell, const gdi::Surface& screen)
{
    cell.picture = shrinkToFit(screen, kPictureSide, kPictureSide);
    m_cells.push_back(std::move(cell));
}

int ContactSheet::cellLeft(int index)
{
    return kMargin + (index % kColumns) * (kPictureSide + kGap);
}

int ContactSheet::cellTop(int index)
{
    return kMargin + titleHeight() + (index / kColumns) * (cellHeight() + kGap);
}

gdi::Surface ContactSheet::render() const
{
    const int count = static_cast<int>(m_cells.size());
    const int columns = std::clamp(count, 1, kColumns);
    const int rows = std::max(1, (count + kColumns - 1) / kColumns);
    const int width = 2 * kMargin + columns * kPictureSide + (columns - 1) * kGap;
    const int height = 2 * kMargin + titleHeight() + rows * cellHeight() + (rows - 1) * kGap;
    gdi::Surface sheet(width, height, kBackground);
    drawTextLine(sheet, kMargin, kMargin, width - 2 * kMargin, count == 0 ? m_title + " - nothing to show" : m_title,
                 kTitleColour);

    for (int i = 0; i < count; ++i) {
        const SheetCell& cell = m_cells[static_cast<std::size_t>(i)];
        const int left = cellLeft(i);
        const int top = cellTop(i);
        // The picture in the middle of its box, framed so that a black screen still shows.
        const int x = left + (kPictureSide - cell.picture.width()) / 2;
        const int y = top + (kPictureSide - cell.picture.height()) / 2;
        sheet.fill(x - 1, y - 1, x + cell.picture.width() + 1, y + cell.picture.height() + 1, kFrame);
        paste(sheet, cell.picture, x, y);

        const int labelTop = top + kPictureSide + kLabelGap;
        const std::string time = readableTime(cell.at);
        const int timeWidth = drawTextLine(sheet, left, labelTop, kPictureSide, time, kTimeColour);
        if (!cell.where.empty()) {
            const int gap = textLineHeight() / 2;
            drawTextLine(sheet, left + timeWidth + gap, labelTop, kPictureSide - timeWidth - gap, cell.where,
                         kWhereColour);
        }
        drawTextLine(sheet, left, labelTop + textLineHeight(), kPictureSide, cell.what, kWhatColour);
        if (cell.pictureAt) {
            // The picture's own time, when it waited for the screen to catch up, and for what.
            const int lineTop = labelTop + 2 * textLineHeight();
            const int pictureTimeWidth =
                drawTextLine(sheet, left, lineTop, kPictureSide, readableTime(*cell.pictureAt), kTimeColour);
            const int gap = textLineHeight() / 2;
            drawTextLine(sheet, left + pictureTimeWidth + gap, lineTop, kPictureSide - pictureTimeWidth - gap,
                         cell.pictureNote, kWhereColour);
        }
    }
    return sheet;
}

void ContactSheet::write(const std::filesystem::path& file) const
{
    gdi::writePng(file, render());
}

}  // namespace velorin::sim
