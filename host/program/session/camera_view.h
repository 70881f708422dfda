// What the camera sees: the first surface along the ray through each sample of the camera view,
// found by the host's own intersect (the one the module's pick goes through), nearer surfaces
// hiding farther ones. The ground (y = 0), which is not an object and which no click can hit,
// is found too, so that the pictures can show where on it things are sharp.
//
// The camera neither moves nor turns during a session, so the view is cast once per run; only
// the focus, and with it each sample's blur, changes from step to step.
#pragma once

#include <cstdint>
#include <vector>

#include "host/scene.h"

namespace host {

class CameraView {
public:
    static constexpr int32_t kNothing = -1;
    static constexpr int32_t kGround = -2;
    // Samples on the long side of the view: half the pictures' 900 pixels, so that a step of
    // the demo (casting aside) is drawn in a few milliseconds.
    static constexpr int kLongSide = 450;

    struct Sample {
        int32_t surface = kNothing;  // the object's index, kGround or kNothing
        double distance = 0;         // along the ray, in metres
    };
    // The visible surface of one object over all samples: nearest and farthest distance (NaN
    // when no sample sees it).
    struct Seen {
        double nearest, farthest;
        size_t samples = 0;
    };

    // Casts a ray through the centre of each of `columns` x `rows` samples spread evenly over
    // the viewport `vp` (a camera view).
    CameraView(const Scene& scene, const Viewport& vp, int columns, int rows);
    // The same, with kLongSide samples on the viewport's long side (fewer for a viewport that has
    // fewer pixels: one a pixel).
    CameraView(const Scene& scene, const Viewport& vp);

    int columns() const { return columns_; }
    int rows() const { return rows_; }
    const Viewport& viewport() const { return viewport_; }
    const Sample& at(int column, int row) const { return samples_[static_cast<size_t>(row) * columns_ + column]; }
    const std::vector<Seen>& seen() const { return seen_; }

private:
    Viewport viewport_;
    int columns_, rows_;
    std::vector<Sample> samples_;
    std::vector<Seen> seen_;
};

// The camera viewport the pictures and blur in pixels refer to: the scene's first camera view,
// or a 640 x 480 one.
Viewport camera_viewport(const Scene& scene);

}  // namespace host
