#pragma once

// The formula lines of a file or of the standard input, read without any exception: a file that cannot be
// opened or read gives the system's reason instead.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>

namespace xlhost {

// The name that stands for the standard input.
inline constexpr const char* kStandardInputName = "-";

class LineReader {
public:
    // Null and the system's reason ("No such file or directory", "Is a directory", ...) when the file
    // cannot be opened; kStandardInputName reads the standard input.
    static std::unique_ptr<LineReader> open(const std::string& name, std::string& reason);
    // Reads from a stream the caller keeps open.
    explicit LineReader(std::FILE* stream, std::size_t maxLineBytes = kMaxLineBytes);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    enum class Status { Line, End, Failed };
    // The next line without its end ("\n" or "\r\n"); a byte-order mark opening the stream is not part of
    // it. A line longer than the limit is read to its end but not kept (tooLong). After Failed, failure()
    // gives the reason.
    Status next(std::string& line, bool& tooLong);
    const std::string& failure() const { return failure_; }

    // A formula line may hold a million-character text, but no line may take the host's memory.
    static constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;

private:
    int get();

    std::FILE* stream_;
    bool owned_ = false;
    std::size_t maxLineBytes_;
    bool started_ = false;
    std::string failure_;
    char buffer_[65536];
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
};

} // namespace xlhost
