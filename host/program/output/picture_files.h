// The pictures of a run in the --out folder. Their names carry the step's number padded to the
// width of the run's last step (at least two digits), so that they sort in step order. The
// folder keeps a record of the pictures the last run wrote there (kPictureRecord): a run
// removes the pictures an earlier run recorded and it did not write again, so that no picture
// of another run can be taken for this one's. It never removes anything else.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/program/output/files.h"

namespace host {

inline constexpr const char* kPictureRecord = ".taverin-host-pictures";

class PictureFiles {
public:
    PictureFiles(std::string folder, size_t last_step);
    // "step_007_camera.svg" for step 7 of a run of 100 steps or more.
    std::string name(size_t step, const char* view) const;
    std::string path(size_t step, const char* view) const;
    // Writes a picture among `files` (renamed into place when they are committed).
    bool write(PendingFiles& files, size_t step, const char* view, const std::string& svg, std::string& error);
    // Before the commit: writes the folder's new record among `files` (this run's pictures, and
    // the earlier run's that this one did not write, until they are gone).
    bool record(PendingFiles& files, std::string& error);
    // After the commit: removes the earlier run's pictures that this run did not write.
    void remove_earlier() const;

private:
    std::string folder_;
    int width_;
    std::vector<std::string> written_;
    std::vector<std::string> earlier_;  // recorded by the last run, not written by this one
};

// Whether `name` is the name of a picture as a run writes it ("step_<digits>_camera.svg" or
// "step_<digits>_top.svg"): the only names a run removes.
bool is_picture_name(const std::string& name);

}  // namespace host
