#include "shell/shell.h"

#include <vector>

namespace {

// How much of the details a report shows: enough for the first errors of a
// compile log, not a screenful of the same one repeated.
const std::size_t maxDetailLines = 40;
const std::size_t maxLineBytes = 400;

// The length of the UTF-8 sequence that starts at `at` if it is well formed
// and encodes a printable character, or 0. C1 controls (U+0080 to U+009F)
// count as not printable: some terminals act on them as on ESC sequences.
std::size_t printableUtf8Length(const std::string &text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    unsigned char lead = byte(at);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || at + length > text.size())
        return 0;
    unsigned long code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    const unsigned long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    bool wellFormed =
        code >= smallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    return wellFormed && code > 0x9F ? length : 0;
}

// One line of the details as it may be written to a terminal: control bytes
// (ESC and the rest, tab apart) and bytes that are not printable UTF-8 are
// written as \xNN, and a very long line is cut.
std::string printableLine(const std::string &line) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < line.size();) {
        if (out.size() >= maxLineBytes) {
            out += " [line cut]";
            break;
        }
        unsigned char c = static_cast<unsigned char>(line[i]);
        if ((c >= 0x20 && c < 0x7F) || c == '\t') {
            out += line[i++];
        } else if (std::size_t length = c >= 0x80 ? printableUtf8Length(line, i) : 0) {
            out.append(line, i, length);
            i += length;
        } else {
            out += {'\\', 'x', hex[c >> 4], hex[c & 0xF]};
            ++i;
        }
    }
    return out;
}

} // namespace

std::string printableDetails(const std::string &details) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < details.size();) {
        std::size_t end = details.find('\n', start);
        if (end == std::string::npos)
            end = details.size();
        std::size_t contentEnd = end > start && details[end - 1] == '\r' ? end - 1 : end;
        lines.push_back(details.substr(start, contentEnd - start));
        start = end + 1;
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    std::string out;
    for (std::size_t i = 0; i < lines.size() && i < maxDetailLines; ++i)
        out += printableLine(lines[i]) + "\n";
    if (lines.size() > maxDetailLines) {
        std::size_t left = lines.size() - maxDetailLines;
        out += "(" + std::to_string(left) + (left == 1 ? " more line" : " more lines") +
               " not shown)\n";
    }
    return out;
}
