// The process entry point on X11: hands over to the program's WinMain with
// the arguments Windows would give it.
#include "platform/windows_api.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

// Descriptors 0 to 2 left closed by whoever started the program would be
// taken by the first files it opens, such as the X connection, and a message
// for standard error would then be written into that. /dev/null fills them.
void fillStandardDescriptors() {
    for (;;) {
        int fd = open("/dev/null", O_RDWR);
        if (fd < 0)
            return;
        if (fd > 2) {
            close(fd);
            return;
        }
    }
}

} // namespace

int main() {
    fillStandardDescriptors();
    char emptyCommandLine[] = "";
    return WinMain(GetModuleHandleW(nullptr), nullptr, emptyCommandLine, SW_SHOW);
}
