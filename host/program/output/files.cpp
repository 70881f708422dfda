#include "host/program/output/files.h"

#include <cerrno>
#include <filesystem>

namespace host {

namespace fs = std::filesystem;

std::string reason(const std::error_code& ec) {
    // Our own words for the cases a user meets: the systems' wording differs between
    // platforms and languages.
    static const struct {
        std::errc code;
        const char* words;
    } kWords[] = {
        {std::errc::permission_denied, "permission denied"},
        {std::errc::operation_not_permitted, "permission denied"},
        {std::errc::no_such_file_or_directory, "no such folder"},
        {std::errc::read_only_file_system, "read-only file system"},
        {std::errc::no_space_on_device, "no space left on the device"},
        {std::errc::file_too_large, "the file is too large for the file system"},
        {std::errc::is_a_directory, "is a folder"},
        {std::errc::not_a_directory, "a part of the path is a file, not a folder"},
        {std::errc::file_exists, "a file of that name is in the way"},
        {std::errc::filename_too_long, "the name is too long"},
        {std::errc::too_many_symbolic_link_levels, "too many links in the path"},
        {std::errc::io_error, "input/output error"},
        {std::errc::device_or_resource_busy, "the file is in use"},
        {std::errc::too_many_files_open, "too many files open"},
        {std::errc::invalid_argument, "the name is not allowed here"},
    };
    for (const auto& w : kWords)
        if (ec == w.code) return w.words;
    return ec.message().empty() ? "the system refused" : ec.message();
}

namespace {

std::error_code last_error() { return {errno, std::generic_category()}; }

void remove_quietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

}  // namespace

PendingFiles::~PendingFiles() { abandon(); }

bool PendingFiles::fail(File& f, const std::string& why, std::string& error) {
    error = f.path + ": cannot be written (" + why + ")";
    abandon();
    return false;
}

int PendingFiles::open(const std::string& path, std::string& error) {
    files_.push_back({path, path + ".partial", nullptr});
    File& f = files_.back();
    auto refuse = [&](const std::string& why) {
        f.temporary.clear();  // nothing was created
        fail(f, why, error);
        return -1;
    };
    if (!file_problem(path).empty()) return refuse("is a folder");
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) {
        std::error_code ec;
        fs::create_directories(parent, ec);
        if (ec) return refuse(reason(ec));
    }
    errno = 0;
    f.stream = std::fopen(f.temporary.c_str(), "wb");
    if (!f.stream) return refuse(errno ? reason(last_error()) : "the file cannot be created");
    return static_cast<int>(files_.size() - 1);
}

bool PendingFiles::write(int file, const std::string& text, std::string& error) {
    File& f = files_[static_cast<size_t>(file)];
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), f.stream) != text.size())
        return fail(f, errno ? reason(last_error()) : "the write failed", error);
    return true;
}

bool PendingFiles::close(int file, std::string& error) {
    File& f = files_[static_cast<size_t>(file)];
    errno = 0;
    const bool ok = std::fclose(f.stream) == 0;
    f.stream = nullptr;
    if (!ok) return fail(f, errno ? reason(last_error()) : "the write failed", error);
    return true;
}

bool PendingFiles::write_file(const std::string& path, const std::string& text, std::string& error) {
    const int f = open(path, error);
    return f >= 0 && write(f, text, error) && close(f, error);
}

bool PendingFiles::commit(std::string& error) {
    for (File& f : files_) {
        std::error_code ec;
        fs::rename(f.temporary, f.path, ec);
        if (ec) return fail(f, reason(ec), error);
        f.temporary.clear();
    }
    files_.clear();
    return true;
}

void PendingFiles::abandon() {
    for (File& f : files_) {
        if (f.stream) std::fclose(f.stream);  // closed before it is removed
        if (!f.temporary.empty()) remove_quietly(f.temporary);
    }
    files_.clear();
}

std::string folder_problem(const std::string& path) {
    std::error_code ec;
    const auto link = fs::symlink_status(path, ec);
    const auto st = fs::status(path, ec);
    if (fs::is_symlink(link) && !fs::exists(st)) return path + ": is a link to something that does not exist";
    if (fs::exists(st) && !fs::is_directory(st)) return path + ": is a file, not a folder";
    return "";
}

std::string file_problem(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return path + ": is a folder, not a file";
    return "";
}

bool same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    if (fs::equivalent(a, b, ec) && !ec) return true;
    const fs::path pa = fs::absolute(a, ec).lexically_normal();
    if (ec) return false;
    const fs::path pb = fs::absolute(b, ec).lexically_normal();
    return !ec && pa == pb;
}

}  // namespace host
