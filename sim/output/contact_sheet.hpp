// `--sheet FILE.png`: the moments of a run that matter side by side, each a small picture of the
// screen as the user saw it with its device time and what happened.
#pragma once

#include "gdi/surface.hpp"
#include "sim/scenario/device_time.hpp"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace velorin::sim {

struct SheetCell {
    DeviceTime at = 0;
    std::string where;  // "file:line", or empty
    std::string what;
    // When the picture was taken later than `at` (the screen catching up with a command), and
    // what it waited for ("charging sequence done", "next frame").
    std::optional<DeviceTime> pictureAt;
    std::string pictureNote;
    gdi::Surface picture;  // already shrunk to the cell
};

// "picture at 5s: charging sequence done", or empty when the picture is of `at`.
std::string pictureLabel(const SheetCell& cell);

class ContactSheet {
public:
    // The side of the square each picture is shrunk into, and the columns of the sheet.
    static constexpr int kPictureSide = 160;
    static constexpr int kColumns = 5;

    explicit ContactSheet(std::string title) : m_title(std::move(title)) {}

    void add(DeviceTime at, const gdi::Surface& screen, std::string where, std::string what);
    // `cell` without its picture, and the screen to shrink into it.
    void add(SheetCell cell, const gdi::Surface& screen);
    const std::vector<SheetCell>& cells() const { return m_cells; }

    // A title line, then the cells left to right and top to bottom in the order they came.
    gdi::Surface render() const;
    // Throws std::runtime_error naming the file when it cannot be written.
    void write(const std::filesystem::path& file) const;

    // Where cell `index` (0-based) sits in render()'s picture: its picture box's top left.
    static int cellLeft(int index);
    static int cellTop(int index);

private:
    std::string m_title;
    std::vector<SheetCell> m_cells;
};

}  // namespace velorin::sim
