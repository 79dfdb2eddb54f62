#include "xlhost/program/LineReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace xlhost {
namespace {

constexpr int kEnd = -1;
constexpr int kFailed = -2;

std::string reasonOf(int error) {
    return std::generic_category().message(error);
}

} // namespace

std::unique_ptr<LineReader> LineReader::open(const std::string& name, std::string& reason) {
    if (name == kStandardInputName)
        return std::make_unique<LineReader>(stdin);
    // Some systems open a folder for reading and fail only on the first read; say so before.
    std::error_code ec;
    if (std::filesystem::is_directory(name, ec)) {
        reason = std::make_error_code(std::errc::is_a_directory).message();
        return nullptr;
    }
    errno = 0;
    std::FILE* stream = std::fopen(name.c_str(), "rb");
    if (stream == nullptr) {
        reason = reasonOf(errno != 0 ? errno : ENOENT);
        return nullptr;
    }
    auto reader = std::make_unique<LineReader>(stream);
    reader->owned_ = true;
    return reader;
}

LineReader::LineReader(std::FILE* stream, std::size_t maxLineBytes)
    : stream_(stream), maxLineBytes_(maxLineBytes) {}

LineReader::~LineReader() {
    if (owned_)
        std::fclose(stream_);
}

int LineReader::get() {
    if (begin_ == end_) {
        if (!failure_.empty())
            return kFailed;
        errno = 0;
        end_ = std::fread(buffer_, 1, sizeof buffer_, stream_);
        begin_ = 0;
        if (end_ == 0) {
            if (std::ferror(stream_)) {
                failure_ = reasonOf(errno != 0 ? errno : EIO);
                return kFailed;
            }
            return kEnd;
        }
    }
    return static_cast<unsigned char>(buffer_[begin_++]);
}

LineReader::Status LineReader::next(std::string& line, bool& tooLong) {
    line.clear();
    tooLong = false;
    if (!started_) {
        started_ = true;
        static constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
        // Peek at the opening bytes; anything but the whole mark is kept as text.
        std::size_t matched = 0;
        int c = 0;
        while (matched < sizeof kByteOrderMark && (c = get()) == kByteOrderMark[matched])
            ++matched;
        if (matched < sizeof kByteOrderMark) {
            line.assign(reinterpret_cast<const char*>(kByteOrderMark), matched);
            if (c == kFailed)
                return Status::Failed;
            if (c == kEnd)
                return line.empty() ? Status::End : Status::Line;
            if (c == '\n')
                return Status::Line;
            line.push_back(static_cast<char>(c));
        }
    }
    bool any = !line.empty();
    for (;;) {
        if (begin_ == end_) {
            const int c = get(); // refills the buffer
            if (c == kFailed)
                return Status::Failed;
            if (c == kEnd) {
                if (!any)
                    return Status::End;
                break;
            }
            --begin_;
        }
        any = true;
        // The rest of the line within the buffer, taken at once.
        const char* from = buffer_ + begin_;
        const auto* newline = static_cast<const char*>(std::memchr(from, '\n', end_ - begin_));
        const std::size_t length =
            newline != nullptr ? static_cast<std::size_t>(newline - from) : end_ - begin_;
        const std::size_t room = maxLineBytes_ - std::min(line.size(), maxLineBytes_);
        line.append(from, std::min(length, room));
        tooLong = tooLong || length > room;
        begin_ += length;
        if (newline != nullptr) {
            ++begin_;
            break;
        }
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return Status::Line;
}

} // namespace xlhost
