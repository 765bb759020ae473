// `--gif FILE`: the screen as the user sees it, as an animated GIF.
#include "sim/output/gif_recorder.hpp"

#include "sim/output/palette.hpp"
#include "sim/output/picture_tools.hpp"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

namespace velorin::sim {

namespace {

// The longest delay one frame can carry, in hundredths of a second.
constexpr std::int64_t kMaxDelay = 0xFFFF;

std::int64_t hundredths(DeviceTime at)
{
    return (at + 5) / 10;
}

}  // namespace

void GifRecorder::Closer::operator()(GifFileType* gif) const
{
    int error = 0;
    EGifCloseFile(gif, &error);
}

GifRecorder::GifRecorder(std::filesystem::path file, int side) : m_file(std::move(file)), m_side(side)
{
    // Opened here rather than by giflib, which would make the file readable by its owner only.
    const int fd = ::open(m_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) {
        m_error = m_file.string() + ": cannot write the GIF there: " + std::strerror(errno);
        return;
    }
    int error = 0;
    m_gif.reset(EGifOpenFileHandle(fd, &error));
    if (!m_gif) {
        ::close(fd);
        fail("cannot write the GIF there", error);
        return;
    }
    EGifSetGifVersion(m_gif.get(), true);
    if (EGifPutScreenDesc(m_gif.get(), m_side, m_side, 8, 0, nullptr) == GIF_ERROR) {
        fail("cannot write the GIF", m_gif->Error);
        return;
    }
    // Loop for ever (the application extension browsers honour).
    static constexpr char kLoop[] = "NETSCAPE2.0";
    const std::array<GifByteType, 3> forever{1, 0, 0};
    if (EGifPutExtensionLeader(m_gif.get(), APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(m_gif.get(), 11, kLoop) == GIF_ERROR ||
        EGifPutExtensionBlock(m_gif.get(), 3, forever.data()) == GIF_ERROR ||
        EGifPutExtensionTrailer(m_gif.get()) == GIF_ERROR)
        fail("cannot write the GIF", m_gif->Error);
    m_base = gdi::Surface(m_side, m_side, kOutsideScreen);
}

GifRecorder::~GifRecorder()
{
    if (!m_finished)
        finish(m_pending ? m_pending->start * 10 : 0);
}

void GifRecorder::fail(const std::string& what, int code)
{
    if (m_error)
        return;
    const char* why = GifErrorString(code);
    m_error = m_file.string() + ": " + what + (why ? std::string(": ") + why : std::string());
    m_gif.reset();
}

void GifRecorder::offer(DeviceTime at, const gdi::Surface& screen)
{
    if (m_error || m_finished || screen.width() == 0 || screen.height() == 0)
        return;
    gdi::Surface canvas = onSquare(screen, m_side);
    const std::int64_t start = hundredths(at);
    if (!m_pending) {
        m_pending = Pending{std::move(canvas), start};
        return;
    }
    if (canvas == m_pending->canvas)
        return;
    if (start == m_pending->start) {
        // The picture before this one was not on the screen for a hundredth of a second.
        m_pending->canvas = std::move(canvas);
        return;
    }
    writeFrame(m_pending->canvas, start - m_pending->start);
    m_pending = Pending{std::move(canvas), start};
}

void GifRecorder::finish(DeviceTime at)
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_error)
        return;
    if (m_pending)
        writeFrame(m_pending->canvas, std::max<std::int64_t>(hundredths(at) - m_pending->start, 1));
    else
        writeFrame(m_base, std::max<std::int64_t>(hundredths(at), 1));  // nothing was on a screen
    if (m_error)
        return;
    int error = 0;
    if (EGifCloseFile(m_gif.release(), &error) == GIF_ERROR)
        fail("cannot finish the GIF", error);
}

void GifRecorder::writeFrame(const gdi::Surface& canvas, std::int64_t delay)
{
    // Only the rectangle that differs from what the file already shows.
    int left = m_side, top = m_side, right = -1, bottom = -1;
    for (int y = 0; y < m_side; ++y) {
        for (int x = 0; x < m_side; ++x) {
            if (canvas.pixel(x, y) != m_base.pixel(x, y) || m_framesWritten == 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    if (right < 0)
        left = top = right = bottom = 0;
    writeImage(canvas, left, top, right - left + 1, bottom - top + 1, static_cast<int>(std::min(delay, kMaxDelay)));
    m_base = canvas;
    // A longer delay goes on in one-pixel frames that change nothing.
    for (delay -= kMaxDelay; delay > 0 && !m_error; delay -= kMaxDelay)
        writeImage(canvas, 0, 0, 1, 1, static_cast<int>(std::min(delay, kMaxDelay)));
}

void GifRecorder::writeImage(const gdi::Surface& canvas, int left, int top, int width, int height, int delay)
{
    if (m_error)
        return;
    std::vector<gdi::Rgb> pixels;
    pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            pixels.push_back(canvas.pixel(x, y));
    const IndexedPicture picture = quantise(pixels);

    // A GIF colour table holds a power of two colours, at least 2.
    int size = 2;
    while (size < static_cast<int>(picture.palette.size()))
        size *= 2;
    std::vector<GifColorType> colours(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < picture.palette.size(); ++i) {
        const gdi::Rgb c = picture.palette[i];
        colours[i] = GifColorType{static_cast<GifByteType>(c >> 16), static_cast<GifByteType>(c >> 8),
                                  static_cast<GifByteType>(c)};
    }
    const std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(GifMakeMapObject(size, colours.data()),
                                                                         GifFreeMapObject);

    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = delay;
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    std::array<GifByteType, 4> extension{};
    EGifGCBToExtension(&control, extension.data());
    if (!map || EGifPutExtension(m_gif.get(), GRAPHICS_EXT_FUNC_CODE, 4, extension.data()) == GIF_ERROR ||
        EGifPutImageDesc(m_gif.get(), left, top, width, height, false, map.get()) == GIF_ERROR) {
        fail("cannot write the GIF", m_gif->Error);
        return;
    }
    std::vector<GifPixelType> row(static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        std::copy_n(picture.indices.begin() + static_cast<std::ptrdiff_t>(y) * width, width, row.begin());
        if (EGifPutLine(m_gif.get(), row.data(), width) == GIF_ERROR) {
            fail("cannot write the GIF", m_gif->Error);
            return;
        }
    }
    ++m_framesWritten;
}

}  // namespace velorin::sim
