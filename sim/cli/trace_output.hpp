// Where the trace goes: a file, standard output, or nowhere. A write that fails (a full disk, a
// device that takes nothing) is remembered and told when the trace is closed, so that a trace
// cut short is never reported as written.
#pragma once

#include <array>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

namespace velorin::sim {

class TraceOutput {
public:
    TraceOutput() = default;
    ~TraceOutput();
    TraceOutput(const TraceOutput&) = delete;
    TraceOutput& operator=(const TraceOutput&) = delete;

    // The trace to `file` ("-": standard output), or with no file to standard output when
    // `toTerminal`, or nowhere; the reason when the file cannot be opened.
    std::optional<std::string> open(const std::optional<std::string>& file, bool toTerminal);

    // Where the lines go; none when there is no trace.
    std::ostream* stream() { return m_stream; }
    // Whether the trace goes to a file of its own.
    bool toFile() const { return m_fd >= 0; }

    // Writes what is left and closes the file; the reason when any of the trace was lost.
    std::optional<std::string> close();

private:
    class FileBuffer : public std::streambuf {
    public:
        explicit FileBuffer(TraceOutput& owner);

    protected:
        int_type overflow(int_type c) override;
        int sync() override;

    private:
        TraceOutput& m_owner;
        std::array<char, 1 << 16> m_buffer{};
    };

    void write(const char* data, std::size_t size);

    std::string m_file;
    int m_fd = -1;
    int m_error = 0;  // errno of the first write that failed
    FileBuffer m_buffer{*this};
    std::ostream m_fileStream{&m_buffer};
    std::ostream* m_stream = nullptr;
};

}  // namespace velorin::sim
