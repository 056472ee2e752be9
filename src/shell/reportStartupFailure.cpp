#include "shell/shell.h"

#include <cstdio>

namespace {

std::string reportText(const std::string &message, const std::string &details) {
    return message + "\n" + printableDetails(details);
}

} // namespace

void writeFailureReport(const std::string &message, const std::string &details) {
    std::fputs(reportText(message, details).c_str(), stderr);
    std::fflush(stderr);
}

void reportStartupFailure(const std::string &message, const std::string &details) {
    writeFailureReport(message, details);
#ifdef _WIN32
    std::string text = reportText(message, details);
    text.pop_back(); // the box needs no line end after its last line
    int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<std::size_t>(length) : 1u, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
    MessageBoxW(nullptr, wide.c_str(), TEXT("Korvane"), MB_OK | MB_ICONERROR);
#endif
}
