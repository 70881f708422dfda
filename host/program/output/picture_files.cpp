#include "host/program/output/picture_files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unordered_set>

namespace host {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRecordHeading = "taverin-host pictures";

// The names an earlier run recorded in `folder`; none when there is no record.
std::vector<std::string> recorded(const std::string& folder) {
    std::vector<std::string> names;
    std::ifstream in(fs::path(folder) / kPictureRecord, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kRecordHeading) return names;
    while (std::getline(in, line))
        if (is_picture_name(line)) names.push_back(line);
    return names;
}

}  // namespace

bool is_picture_name(const std::string& name) {
    const std::string head = "step_";
    if (name.compare(0, head.size(), head) != 0) return false;
    size_t i = head.size();
    const size_t digits = i;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9') ++i;
    if (i == digits) return false;
    const std::string tail = name.substr(i);
    return tail == "_camera.svg" || tail == "_top.svg";
}

PictureFiles::PictureFiles(std::string folder, size_t last_step) : folder_(std::move(folder)) {
    width_ = std::max(2, static_cast<int>(std::to_string(last_step).size()));
}

std::string PictureFiles::name(size_t step, const char* view) const {
    char text[64];
    std::snprintf(text, sizeof text, "step_%0*zu_%s.svg", width_, step, view);
    return text;
}

std::string PictureFiles::path(size_t step, const char* view) const { return folder_ + "/" + name(step, view); }

bool PictureFiles::write(PendingFiles& files, size_t step, const char* view, const std::string& svg, std::string& error) {
    if (!files.write_file(path(step, view), svg, error)) return false;
    written_.push_back(name(step, view));
    return true;
}

bool PictureFiles::record(PendingFiles& files, std::string& error) {
    const std::unordered_set<std::string> now(written_.begin(), written_.end());
    earlier_.clear();
    for (const std::string& n : recorded(folder_)) {
        std::error_code ec;
        if (!now.count(n) && fs::exists(fs::symlink_status(fs::path(folder_) / n, ec))) earlier_.push_back(n);
    }
    std::string text = std::string(kRecordHeading) + "\n";
    for (const auto* list : {&written_, &earlier_})
        for (const std::string& n : *list) text += n + "\n";
    return files.write_file(folder_ + "/" + kPictureRecord, text, error);
}

void PictureFiles::remove_earlier() const {
    for (const std::string& n : earlier_) {
        const fs::path p = fs::path(folder_) / n;
        std::error_code ec;
        // A file of its own: not a folder, and not a link (whose target is not the run's).
        if (fs::is_regular_file(fs::symlink_status(p, ec))) fs::remove(p, ec);
    }
}

}  // namespace host
