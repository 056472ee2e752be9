// The process entry point on X11: hands over to the program's WinMain with
// the arguments Windows would give it.
#include "platform/windows_api.h"

int main() {
    char emptyCommandLine[] = "";
    return WinMain(GetModuleHandleW(nullptr), nullptr, emptyCommandLine, SW_SHOW);
}
