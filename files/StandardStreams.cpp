// Descriptors 0, 1 and 2, settled before the program opens any file.
#include "StandardStreams.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace quillomatic::StandardStreams {
namespace {

std::array<bool, 3> g_Closed{};

} // namespace

bool Occupy() {
    for (int descriptor = 0; descriptor < 3; ++descriptor) {
        if (::fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        // open() takes the lowest free number, which is this one.
        const int opened = ::open("/dev/null", descriptor == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (opened != descriptor) {
            return false;
        }
        g_Closed[static_cast<std::size_t>(descriptor)] = true;
    }
    return true;
}

bool WasClosed(int descriptor) {
    return descriptor >= 0 && descriptor < 3 && g_Closed[static_cast<std::size_t>(descriptor)];
}

} // namespace quillomatic::StandardStreams
