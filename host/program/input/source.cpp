#include "host/program/input/source.h"

#include <cstdio>
#include <filesystem>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "host/program/limits.h"
#include "host/program/text/format.h"
#include "host/program/text/utf8.h"

namespace host {

namespace {

// Reads a whole stream: at most kMaxInputBytes (a device that never ends, such as /dev/zero,
// is stopped there). False with `error` set.
bool read_stream(std::FILE* f, const std::string& name, std::string& text, std::string& error) {
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) {
        if (text.size() + n > kMaxInputBytes) {
            error = one_line(name + ": longer than " + std::to_string(kMaxInputBytes >> 20) + " MiB");
            return false;
        }
        text.append(buffer, n);
    }
    if (std::ferror(f) != 0) {
        error = one_line(name + ": read error");
        return false;
    }
    return true;
}

// Reads a whole file (or, for "-", standard input); false with `error` set when it is
// missing, a folder, unreadable or too long. Pipes and devices such as /dev/stdin are read to
// their end.
bool read_file(const std::string& path, std::string& text, std::string& error) {
    // Every message names the path, on one line whatever the path holds.
    auto fail = [&](const char* why) {
        error = one_line(path + ": " + why);
        return false;
    };
    if (path == kStandardInput) {
#if defined(_WIN32)
        _setmode(_fileno(stdin), _O_BINARY);  // the bytes as they are, "\r\n" included
#endif
        return read_stream(stdin, "standard input", text, error);
    }
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return fail("no such file");
    if (std::filesystem::is_directory(status)) return fail("is a folder, not a file");
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return fail("cannot be read (not permitted)");
    if (std::filesystem::is_regular_file(status)) {
        // Read in one piece: a mesh file can be tens of megabytes.
        const auto size = std::filesystem::file_size(path, ec);
        if (!ec && size > kMaxInputBytes) {
            std::fclose(f);
            return fail(("longer than " + std::to_string(kMaxInputBytes >> 20) + " MiB").c_str());
        }
        if (!ec) text.reserve(static_cast<size_t>(size));
    }
    const bool ok = read_stream(f, path, text, error);
    std::fclose(f);
    return ok;
}

}  // namespace

bool accept_text(Source& source, std::string& error) {
    const ByteOrderMark mark = byte_order_mark(source.text);
    if (mark.length == 0) return true;
    if (!mark.utf8()) {
        error = one_line(source.name + ": the text is " + mark.encoding + "; save it as UTF-8");
        return false;
    }
    source.text.erase(0, mark.length);
    return true;
}

bool read_source(const std::string& path, Source& out, std::string& error) {
    Source s{path == kStandardInput ? "standard input" : path, {}};
    if (!read_file(path, s.text, error) || !accept_text(s, error)) return false;
    out = std::move(s);
    return true;
}

}  // namespace host
