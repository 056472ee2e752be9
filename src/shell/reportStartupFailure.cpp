#include "shell/shell.h"

#include <cstdio>

void reportStartupFailure(const std::string &line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
#ifdef _WIN32
    int length = MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, nullptr, 0);
    std::wstring text(length > 0 ? static_cast<std::size_t>(length) : 1u, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, &text[0], length);
    MessageBoxW(nullptr, text.c_str(), TEXT("Korvane"), MB_OK | MB_ICONERROR);
#endif
}
