#include "platform/standard_descriptors.h"

#include <cerrno>
#include <initializer_list>

#include <fcntl.h>
#include <unistd.h>

namespace lorvane {

void KeepStandardDescriptorsTaken()
{
    for (const int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // open gives the lowest free number, which is this one: the lower ones are open by now.
        const int opened = open("/dev/null", descriptor == STDIN_FILENO ? O_WRONLY : O_RDONLY);  // NOLINT
        if (opened >= 0 && opened != descriptor) {
            close(opened);
        }
    }
}

}  // namespace lorvane
