// `--frames DIR`: one PNG for each distinct screen image, named by the device time at which it
// was seen (frame-000012345.png).
#pragma once

#include "gdi/surface.hpp"
#include "sim/harness/frame_sink.hpp"
#include "sim/scenario/device_time.hpp"

#include <filesystem>
#include <optional>
#include <string>

namespace velorin::sim {

class FrameRecorder : public FrameSink {
public:
    // Creates the directory; a failure is kept in error().
    explicit FrameRecorder(std::filesystem::path directory);

    // Writes `screen` when it differs from the last frame written. An empty screen (no window
    // system yet) is not a frame. After the first failure nothing more is written.
    void offer(DeviceTime at, const gdi::Surface& screen) override;

    static std::string fileName(DeviceTime at);
    const std::filesystem::path& directory() const { return m_directory; }
    int written() const { return m_written; }
    // The first failure, naming the file or directory.
    const std::optional<std::string>& error() const override { return m_error; }

private:
    std::filesystem::path m_directory;
    gdi::Surface m_last;
    int m_written = 0;
    std::optional<std::string> m_error;
};

}  // namespace velorin::sim
