// Writing the program's output files so that none is ever left half-written: each is written
// under a temporary name beside its place and renamed into place only when every file of the
// run has been written. Failures are said in words, the same on every platform.
#pragma once

#include <cstdio>
#include <string>
#include <system_error>
#include <vector>

namespace host {

class PendingFiles {
public:
    PendingFiles() = default;
    PendingFiles(const PendingFiles&) = delete;
    PendingFiles& operator=(const PendingFiles&) = delete;
    // Removes every temporary file not yet renamed into place.
    ~PendingFiles();

    // Starts the file `path` (creating missing folders); its handle, or -1 with `error` set.
    int open(const std::string& path, std::string& error);
    // Appends to a started file; false with `error` set.
    bool write(int file, const std::string& text, std::string& error);
    // Finishes a started file (it stays pending until commit); false with `error` set.
    bool close(int file, std::string& error);
    // Writes a whole file at once.
    bool write_file(const std::string& path, const std::string& text, std::string& error);
    // Renames every finished file into place, in the order started. False with `error` set;
    // what was not yet renamed is removed.
    bool commit(std::string& error);
    // Removes every temporary file.
    void abandon();

private:
    struct File {
        std::string path, temporary;
        std::FILE* stream = nullptr;
    };
    bool fail(File& f, const std::string& why, std::string& error);
    std::vector<File> files_;
};

// A system error in words: "permission denied", "no such folder", "read-only file system"...
std::string reason(const std::error_code& ec);

// Why `path` cannot be a folder to write into (it is a file, or a link to nothing), or empty.
std::string folder_problem(const std::string& path);
// Why `path` cannot be a file to write (it is a folder), or empty.
std::string file_problem(const std::string& path);
// Whether `a` and `b` name one existing file, or (when one does not exist yet) the same
// place once made absolute.
bool same_file(const std::string& a, const std::string& b);

}  // namespace host
