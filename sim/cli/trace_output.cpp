// Where the trace goes: a file, standard output, or nowhere.
#include "sim/cli/trace_output.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

namespace velorin::sim {

TraceOutput::FileBuffer::FileBuffer(TraceOutput& owner) : m_owner(owner)
{
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
}

TraceOutput::FileBuffer::int_type TraceOutput::FileBuffer::overflow(int_type c)
{
    sync();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int TraceOutput::FileBuffer::sync()
{
    m_owner.write(pbase(), static_cast<std::size_t>(pptr() - pbase()));
    setp(m_buffer.data(), m_buffer.data() + m_buffer.size());
    return m_owner.m_error == 0 ? 0 : -1;
}

TraceOutput::~TraceOutput()
{
    if (m_fd >= 0)
        close();
}

std::optional<std::string> TraceOutput::open(const std::optional<std::string>& file, bool toTerminal)
{
    if ((file && *file == "-") || (!file && toTerminal)) {
        m_stream = &std::cout;
        return std::nullopt;
    }
    if (!file)
        return std::nullopt;
    m_file = *file;
    m_fd = ::open(file->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return *file + ": cannot write the trace there: " + std::strerror(errno);
    m_stream = &m_fileStream;
    return std::nullopt;
}

// After the first failure the rest is dropped: the trace is lost either way, and the run goes on
// to save what else it makes.
void TraceOutput::write(const char* data, std::size_t size)
{
    while (size > 0 && m_error == 0) {
        const ssize_t written = ::write(m_fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_error = written < 0 ? errno : EIO;
            break;
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

std::optional<std::string> TraceOutput::close()
{
    if (m_stream == &std::cout) {
        std::cout.flush();
        return std::cout ? std::nullopt : std::optional<std::string>("standard output: cannot write the trace there");
    }
    if (m_fd < 0)
        return std::nullopt;
    m_fileStream.flush();
    if (::close(m_fd) != 0 && m_error == 0)
        m_error = errno;
    m_fd = -1;
    m_stream = nullptr;
    if (m_error != 0)
        return m_file + ": cannot write the trace there: " + std::strerror(m_error);
    return std::nullopt;
}

}  // namespace velorin::sim
