// `--frames DIR`: one PNG for each distinct screen image, named by device time.
#include "sim/harness/frame_recorder.hpp"

#include "gdi/png_file.hpp"

#include <cstdio>
#include <stdexcept>
#include <system_error>

namespace velorin::sim {

FrameRecorder::FrameRecorder(std::filesystem::path directory) : m_directory(std::move(directory))
{
    std::error_code error;
    std::filesystem::create_directories(m_directory, error);
    if (error)
        m_error = m_directory.string() + ": cannot create the frames directory: " + error.message();
}

std::string FrameRecorder::fileName(DeviceTime at)
{
    char name[40];
    std::snprintf(name, sizeof name, "frame-%09lld.png", static_cast<long long>(at));
    return name;
}

void FrameRecorder::offer(DeviceTime at, const gdi::Surface& screen)
{
    if (m_error || screen.width() == 0 || screen.height() == 0 || screen == m_last)
        return;
    try {
        gdi::writePng(m_directory / fileName(at), screen);
    } catch (const std::runtime_error& e) {
        m_error = e.what();
        return;
    }
    m_last = screen;
    ++m_written;
}

}  // namespace velorin::sim
