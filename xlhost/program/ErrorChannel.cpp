#include "xlhost/program/ErrorChannel.h"

#include <cstdint>
#include <string>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#if !defined(_WIN32)
// Declared weak so that the call is made only when a sanitizer runtime is linked in: its reports must still
// reach the terminal when the standard error is dropped.
extern "C" void __sanitizer_set_report_fd(void* fd) __attribute__((weak));
#endif

namespace xlhost {
namespace {

constexpr int kStandardError = 2;
int ownDescriptor = kStandardError;
int savedDescriptor = -1; // the copy while the streams are apart

#if defined(_WIN32)
int duplicate(int fd) {
    return _dup(fd);
}
int replace(int from, int to) {
    return _dup2(from, to);
}
void closeDescriptor(int fd) {
    _close(fd);
}
int openNull() {
    return _open("NUL", _O_WRONLY | _O_BINARY);
}
bool writeSome(int fd, const char*& data, std::size_t& left) {
    const int written = _write(fd, data, static_cast<unsigned>(left));
    if (written <= 0)
        return false;
    data += written;
    left -= static_cast<std::size_t>(written);
    return true;
}
#else
int duplicate(int fd) {
    return ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
}
int replace(int from, int to) {
    return ::dup2(from, to);
}
void closeDescriptor(int fd) {
    ::close(fd);
}
int openNull() {
    return ::open("/dev/null", O_WRONLY | O_CLOEXEC);
}
bool writeSome(int fd, const char*& data, std::size_t& left) {
    const ssize_t written = ::write(fd, data, left);
    if (written <= 0)
        return false;
    data += written;
    left -= static_cast<std::size_t>(written);
    return true;
}
#endif

} // namespace

void separateErrorStreams(bool showAddInLines) {
    if (savedDescriptor >= 0)
        return;
    savedDescriptor = duplicate(kStandardError);
    if (savedDescriptor < 0)
        return; // no standard error to keep apart: nothing will be seen either way
    ownDescriptor = savedDescriptor;
#if !defined(_WIN32)
    if (__sanitizer_set_report_fd != nullptr)
        __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(savedDescriptor)));
#endif
    if (showAddInLines)
        return;
    const int null = openNull();
    if (null >= 0) {
        replace(null, kStandardError);
        closeDescriptor(null);
    }
}

void rejoinErrorStreams() {
    if (savedDescriptor < 0)
        return;
    replace(savedDescriptor, kStandardError);
#if !defined(_WIN32)
    if (__sanitizer_set_report_fd != nullptr)
        __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(kStandardError)));
#endif
    closeDescriptor(savedDescriptor);
    savedDescriptor = -1;
    ownDescriptor = kStandardError;
}

void reportError(std::string_view text) {
    std::string whole(text);
    if (whole.empty() || whole.back() != '\n')
        whole.push_back('\n');
    const char* data = whole.data();
    std::size_t left = whole.size();
    while (left > 0 && writeSome(ownDescriptor, data, left)) {
    }
}

} // namespace xlhost
