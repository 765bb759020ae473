// `--gif FILE`: the screen as the user sees it as an animated GIF (looping), one frame for each
// distinct picture, shown for as long as the device showed it.
//
// The canvas is a square of the panel's longer side, so that the screen fits in either
// orientation; the screen sits in its middle. Delays are in the GIF's hundredths of a second:
// a frame seen from t1 to t2 (device milliseconds) lasts round(t2 / 10) - round(t1 / 10), so the
// delays add up to the run's length; a picture that lasted less than that is left out. The last
// frame lasts until the end of the run (at least 1). After the first frame only the rectangle
// that changed is stored, each with its own palette (see palette.hpp).
#pragma once

#include "gdi/surface.hpp"
#include "sim/harness/frame_sink.hpp"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

struct GifFileType;

namespace velorin::sim {

class GifRecorder : public FrameSink {
public:
    // Opens `file` for a canvas of `side` x `side` pixels; a failure is kept in error().
    GifRecorder(std::filesystem::path file, int side);
    ~GifRecorder() override;
    GifRecorder(const GifRecorder&) = delete;
    GifRecorder& operator=(const GifRecorder&) = delete;

    void offer(DeviceTime at, const gdi::Surface& screen) override;
    // Writes the last frame and closes the file; later offers are ignored.
    void finish(DeviceTime at) override;
    const std::optional<std::string>& error() const override { return m_error; }

    int framesWritten() const { return m_framesWritten; }

private:
    struct Closer {
        void operator()(GifFileType* gif) const;
    };
    struct Pending {
        gdi::Surface canvas;
        std::int64_t start = 0;  // hundredths of a second
    };

    void writeFrame(const gdi::Surface& canvas, std::int64_t delay);
    void writeImage(const gdi::Surface& canvas, int left, int top, int width, int height, int delay);
    void fail(const std::string& what, int code);

    std::filesystem::path m_file;
    int m_side;
    std::unique_ptr<GifFileType, Closer> m_gif;
    std::optional<Pending> m_pending;
    gdi::Surface m_base;  // the canvas as the frames written so far leave it
    int m_framesWritten = 0;
    bool m_finished = false;
    std::optional<std::string> m_error;
};

}  // namespace velorin::sim
