// The text the program reads, and where it came from: files read whole, with a UTF-8 byte
// order mark skipped (Windows editors write one) and text in another encoding refused.
#pragma once

#include <string>

namespace host {

// Where text came from, for messages: a file's path, or an argument as the user typed it.
struct Source {
    std::string name;
    std::string text;
};

// The path that names standard input.
inline constexpr const char* kStandardInput = "-";

// Reads a whole file as UTF-8 text into `out` (named by its path, or "standard input" for
// kStandardInput). Pipes and devices (/dev/stdin) are read to their end. False with `error`
// set to one line naming the path when it is missing, a folder, unreadable, longer than
// kMaxInputBytes, or marked as UTF-16 or UTF-32.
bool read_source(const std::string& path, Source& out, std::string& error);

// Skips a UTF-8 byte order mark at the start of `source.text`; false with `error` naming the
// source and the encoding when the text starts with a UTF-16 or UTF-32 mark.
bool accept_text(Source& source, std::string& error);

}  // namespace host
