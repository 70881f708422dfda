// Camera focus commands: the focal distance (as an envelope key or by command) and the f-stop.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "plugin/services.h"
#include "plugin/tool.h"

namespace taverin {

namespace {

constexpr size_t kCommandSize = 256;
constexpr const char* kFocalChannelChars = "FocalDistance";
constexpr size_t kFocalNameRun = 12;  // a name qualifies when its run is longer than this

// Formats `format` with `value` into `buffer`. Fails, writing nothing usable, when the value
// is not finite or the text would not fit: such a command is never issued, truncated or not.
bool format_command(char (&buffer)[kCommandSize], const char* format, double value) {
    if (!std::isfinite(value)) return false;
    const int n = std::snprintf(buffer, kCommandSize, format, value);
    return n > 0 && static_cast<size_t>(n) < kCommandSize;
}

// "DepthOfField" toggles the setting, so it is sent only when the camera reports depth of
// field off. Without the camera service the state is unknown and is left alone.
bool depth_of_field_on(ItemId camera) {
    if (!camera_info || !camera_info->flags) return true;
    return (camera_info->flags(camera) & kCameraDepthOfField) != 0;
}

// The envelope of the camera's last channel whose name starts with a run of more than twelve
// characters from "FocalDistance", or null.
EnvelopeId focal_distance_envelope(double t) {
    if (!item_info || !item_info->chan_group || !channel_info || !channel_info->next_channel)
        return nullptr;
    const ItemId camera = render_camera(t);
    const ChanGroupId group = item_info->chan_group(camera);
    EnvelopeId chosen = nullptr;
    for (ChannelId ch = channel_info->next_channel(group, nullptr); ch;
         ch = channel_info->next_channel(group, ch)) {
        const char* name = channel_info->name ? channel_info->name(ch) : nullptr;
        if (!name || std::strspn(name, kFocalChannelChars) <= kFocalNameRun) continue;
        chosen = channel_info->envelope ? channel_info->envelope(ch) : nullptr;
    }
    return chosen;
}

}  // namespace

void set_focal_distance(double distance) {
    if (!std::isfinite(distance)) return;
    const double t = current_time();

    if (EnvelopeId env = focal_distance_envelope(t)) {
        // The envelope drives the focal distance, so a command would be overridden (and
        // "DepthOfField" would switch depth of field on, which this path never does). Without
        // the envelope service the focus is left as it is.
        if (!envelopes) return;
        KeyId key = envelopes->find_key ? envelopes->find_key(env, t) : nullptr;
        if (key) {
            if (envelopes->key_set) envelopes->key_set(env, key, kKeyValue, &distance);
        } else if (envelopes->create_key) {
            envelopes->create_key(env, t, distance);
        }
        return;
    }

    char buffer[kCommandSize];
    if (!format_command(buffer, "FocalDistance %f", distance)) return;
    const ItemId camera = render_camera(t);
    if (!depth_of_field_on(camera)) run_command("DepthOfField");
    run_command(buffer);
}

void set_lens_fstop(double f_stop) {
    const ItemId camera = render_camera(current_time());
    char buffer[kCommandSize];
    if (depth_of_field_on(camera)) {
        if (format_command(buffer, "LensFStop  %f", f_stop)) run_command(buffer);
    } else if (format_command(buffer, "LensFStop %f", f_stop)) {
        run_command("DepthOfField");
        run_command(buffer);
    }
}

}  // namespace taverin
