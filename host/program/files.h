// Writing the program's output files so that none is ever left half-written.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace host {

// Writes each (path, text) to a temporary file beside its path and, only when every one was
// written, renames them into place. Creates missing folders. On failure removes the
// temporary files and sets `error` to one line naming the path.
bool write_files(const std::vector<std::pair<std::string, std::string>>& files, std::string& error);

// Why `path` cannot be a folder to write into (it is a file), or empty.
std::string folder_problem(const std::string& path);
// Why `path` cannot be a file to write (it is a folder), or empty.
std::string file_problem(const std::string& path);
// Whether `a` and `b` name one existing file, or (when one does not exist yet) the same
// place once made absolute.
bool same_file(const std::string& a, const std::string& b);

}  // namespace host
