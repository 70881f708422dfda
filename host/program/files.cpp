#include "host/program/files.h"

#include <filesystem>
#include <fstream>

namespace host {

namespace fs = std::filesystem;

namespace {

std::string reason(const std::error_code& ec) {
    // The system's wording differs between platforms; these are the cases a user meets.
    if (ec == std::errc::permission_denied) return "not permitted";
    if (ec == std::errc::no_space_on_device) return "no space left";
    if (ec == std::errc::read_only_file_system) return "read-only file system";
    if (ec == std::errc::is_a_directory) return "is a folder";
    if (ec == std::errc::not_a_directory) return "a part of the path is a file, not a folder";
    if (ec == std::errc::filename_too_long) return "the name is too long";
    return "the system refused (error " + std::to_string(ec.value()) + ")";
}

void remove_quietly(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

}  // namespace

std::string folder_problem(const std::string& path) {
    std::error_code ec;
    const auto st = fs::status(path, ec);
    if (!ec && fs::exists(st) && !fs::is_directory(st)) return path + ": is a file, not a folder";
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

bool write_files(const std::vector<std::pair<std::string, std::string>>& files, std::string& error) {
    std::vector<std::string> temps;
    auto fail = [&](const std::string& path, const std::string& why) {
        for (const auto& t : temps) remove_quietly(t);
        error = path + ": cannot be written (" + why + ")";
        return false;
    };
    for (const auto& [path, text] : files) {
        if (!file_problem(path).empty()) return fail(path, "is a folder");
        const fs::path parent = fs::path(path).parent_path();
        std::error_code ec;
        if (!parent.empty()) {
            fs::create_directories(parent, ec);
            if (ec) return fail(path, reason(ec));
        }
        const std::string tmp = path + ".partial";
        bool created = false, written = false;
        {
            std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
            created = static_cast<bool>(out);
            out << text;
            out.flush();
            written = created && static_cast<bool>(out);
        }  // closed before anything is removed
        if (!created) return fail(path, "the file cannot be created");
        temps.push_back(tmp);
        if (!written) return fail(path, "the write failed");
    }
    for (size_t i = 0; i < files.size(); ++i) {
        std::error_code ec;
        fs::rename(temps[i], files[i].first, ec);
        if (ec) {
            for (size_t k = i; k < temps.size(); ++k) remove_quietly(temps[k]);
            error = files[i].first + ": cannot be written (" + reason(ec) + ")";
            return false;
        }
    }
    return true;
}

}  // namespace host
