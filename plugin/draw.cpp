// The draw callback: the render camera's depth of field as three marks centred on the camera.
//
// The focus circle has the focal distance as its radius; the near disc and the far circle
// mark the limits of acceptable sharpness by the hyperfocal-distance method, with a circle of
// confusion of 1/1730 of the film diagonal. Lengths are in millimetres inside the formulas and
// in scene units (metres) when drawn.
#include <cmath>

#include "plugin/services.h"
#include "plugin/tool.h"

namespace taverin {

namespace {

constexpr double kMillimetresPerMetre = 1000.0;
constexpr double kDiagonalPerConfusion = 1730.0;

constexpr float kFocusColor[4] = {188.0f / 255.0f, 137.0f / 255.0f, 111.5f / 255.0f, 1.0f};
constexpr float kLimitColor[4] = {171.0f / 255.0f, 188.0f / 255.0f, 188.0f / 255.0f, 0.5f};

using Primitive = void (*)(void*, const double*, double, int32_t);

void mark(const DrawAccess& da, const float* color, Primitive primitive, const double* center,
          double radius) {
    if (!std::isfinite(radius) || !primitive) return;
    if (da.set_color) da.set_color(da.data, color);
    primitive(da.data, center, radius, 0);
}

}  // namespace

void tool_draw(void*, const DrawAccess* access) {
    if (!access || !camera_info || !item_info || !item_info->param || !camera_info->film_size ||
        !camera_info->focal_distance || !camera_info->focal_length || !camera_info->f_stop)
        return;
    const double t = current_time();
    const ItemId camera = render_camera(t);
    if (!camera) return;

    double film_w = 0.0, film_h = 0.0;
    camera_info->film_size(camera, &film_w, &film_h);
    const double w = film_w * kMillimetresPerMetre;
    const double v = film_h * kMillimetresPerMetre;
    const double diagonal = std::sqrt(w * w + v * v);
    const double confusion = diagonal / kDiagonalPerConfusion;

    const double focus_scene = camera_info->focal_distance(camera, t);
    const double s = focus_scene * kMillimetresPerMetre;
    const double f = camera_info->focal_length(camera, t);
    const double n_stop = camera_info->f_stop(camera, t);
    const double k = n_stop * confusion;

    // With no blur (k == 0) there are no limits to draw. A far limit at or beyond infinity
    // (focused at or past the hyperfocal distance) comes out infinite or negative: the far
    // circle is then left out rather than drawn with a meaningless radius.
    double near_r = NAN, far_r = NAN;
    if (k != 0.0) {
        const double hyper = f * f / k + f;
        near_r = hyper * s / (hyper + (s - f)) / kMillimetresPerMetre;
        const double far_den = hyper - (s - f);
        if (far_den > 0.0) far_r = hyper * s / far_den / kMillimetresPerMetre;
    }

    double center[3] = {0.0, 0.0, 0.0};
    item_info->param(camera, kParamWorldPosition, t, center);

    mark(*access, kFocusColor, access->circle, center, focus_scene);
    mark(*access, kLimitColor, access->disc, center, near_r);
    mark(*access, kLimitColor, access->circle, center, far_r);
}

}  // namespace taverin
