#include "platform/system_calls.h"

#include <cerrno>
#include <system_error>

#include <unistd.h>

namespace lorvane {

std::string ErrorText(int error)
{
    return std::generic_category().message(error);
}

int WriteAll(int descriptor, const char* data, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = write(descriptor, data + done, size - done);
        if (written < 0 && errno != EINTR) {
            return errno;
        }
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
    return 0;
}

}  // namespace lorvane
