#include "host/program/input/source.h"

#include <cstdio>
#include <filesystem>

#include "host/program/text/format.h"
#include "host/program/text/utf8.h"

namespace host {

namespace {

// Reads a whole regular file; false with `error` set when it is missing, a folder or unreadable.
bool read_file(const std::string& path, std::string& text, std::string& error) {
    // Every message names the path, on one line whatever the path holds.
    auto fail = [&](const char* why) {
        error = one_line(path + ": " + why);
        return false;
    };
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) return fail("no such file");
    if (std::filesystem::is_directory(status)) return fail("is a folder, not a file");
    if (!std::filesystem::is_regular_file(status)) return fail("is not a regular file");
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return fail("cannot be read (not permitted)");
    // Read in one piece: a mesh file can be tens of megabytes.
    text.assign(static_cast<size_t>(std::filesystem::file_size(path, ec)), '\0');
    if (ec) text.clear();
    size_t got = text.empty() ? 0 : std::fread(&text[0], 1, text.size(), f);
    text.resize(got);
    char more[65536];
    for (size_t n; (n = std::fread(more, 1, sizeof more, f)) > 0;) text.append(more, n);
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return fail("read error");
    return true;
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
    Source s{path, {}};
    if (!read_file(path, s.text, error) || !accept_text(s, error)) return false;
    out = std::move(s);
    return true;
}

}  // namespace host
