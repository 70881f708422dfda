// The transcript: what the module did at each step, in words an artist can check.
#include "host/program/output/transcript.h"

#include <cmath>
#include <cstdio>

#include "host/panel_layout.h"
#include "host/program/text/focus_words.h"
#include "host/program/text/format.h"
#include "host/program/version.h"

namespace host {

namespace {

std::string marks_line(const StepRecord& r) {
    const Marks& k = r.marks;
    const DistanceFormat f = format_for({k.focus, k.near_limit, k.far_limit});
    auto one = [&](const char* name, double v) { return std::string(name) + " " + (std::isnan(v) ? "not drawn" : f.text(v)); };
    return one("focus circle", k.focus) + ", " + one("near disc", k.near_limit) + ", " + one("far circle", k.far_limit);
}

std::string optics_lines(const StepRecord& r) {
    const DepthOfField& o = r.optics;
    std::string s;
    if (std::isnan(o.near_limit)) {
        s = "  depth of field: no near or far limit: " + o.limits_note + "\n";
    } else {
        const DistanceFormat f = format_for({o.near_limit, o.focus, o.far_limit});
        s = "  depth of field: sharp from " + f.text(o.near_limit) + " to " + f.text(o.far_limit);
        if (std::isfinite(o.total)) s += " (" + format_for({o.total}).text(o.total) + " deep)";
        s += ", hyperfocal distance " + metres(o.hyperfocal) + "\n";
        if (!o.limits_note.empty()) s += "  far limit: " + o.limits_note + "\n";
    }
    return s;
}

// What the camera sees of each object at this step; the objects out of view on one line.
std::string objects_lines(const StepRecord& r) {
    if (r.objects.empty()) return "";
    std::string s = "  objects as the camera sees them";
    if (r.sharpness.kind == Sharpness::Kind::Unfocusable)
        s += " (focused nearer than the focal length: no point is sharp)";
    s += ":\n";
    std::string unseen;
    size_t count = 0;
    for (const ObjectFocus& o : r.objects) {
        const std::string& name = o.name;
        if (o.zone != ObjectFocus::Zone::Unseen) {
            s += "    " + object_sentence(name, o) + "\n";
        } else if (count++ < 10) {
            unseen += (unseen.empty() ? "" : ", ") + name;
        }
    }
    if (count > 10) unseen += " and " + std::to_string(count - 10) + " more";
    if (count) s += "    not in view: " + unseen + "\n";
    return s;
}

std::string camera_line(const Camera& c, double time) {
    return "camera: film " + plain(c.film_width * 1000) + " x " + plain(c.film_height * 1000) + " mm, " +
           plain(c.focal_length) + " mm lens, f/" + plain(c.f_stop) + ", focused at " +
           metres(c.focal_distance_at(time)) + ", depth of field " +
           ((c.flags & kCameraDofFlag) ? "on" : "off") + "\n";
}

}  // namespace

std::string step_transcript(const StepRecord& r, const std::vector<std::string>& pictures) {
    std::string s = r.number == 0 ? "\nbefore the first step:\n" : "\nstep " + std::to_string(r.number) + ": " + r.action + "\n";
    if (!r.delivered) s += "  the panel is closed: the edit does not reach the tool\n";
    if (r.has_ray) {
        s += r.ray.hit ? "  ray from the camera: first hit \"" + r.ray.object + "\" at " + metres(r.ray.distance) + "\n"
                       : "  ray from the camera: no object hit\n";
    } else if ((r.step.kind == Step::Kind::Click || r.step.kind == Step::Kind::Drag) && r.number > 0) {
        s += "  not the camera view: the tool casts no ray\n";
    }
    for (const auto& c : r.commands) s += "  command \"" + c + "\"\n";
    for (const auto& c : r.command_errors) s += "  command refused: " + c + "\n";
    for (const auto& k : r.keys)
        s += std::string("  envelope key ") + (k.created ? "created" : "set") + " at " + plain(k.time) + " s: " +
             metres(k.value) + "\n";
    for (const auto& m : r.messages) s += "  message " + m + "\n";
    for (const auto& name : r.changed) {
        for (size_t i = 0; i < 6; ++i)
            if (name == kPanelFields[i].name) s += "  panel field " + name + " = " + field_text(r.fields[i]) + "\n";
    }
    if (r.instance_updates > 0) s += "  \"Instance Update\" x " + std::to_string(r.instance_updates) + "\n";
    if (r.number > 0) {
        if (r.focal_after != r.focal_before) {
            const DistanceFormat f = format_for({r.focal_before, r.focal_after});
            s += "  focal distance " + f.text(r.focal_before) + " -> " + f.text(r.focal_after) + "\n";
        } else {
            s += "  focal distance unchanged (" + metres(r.focal_after) + ")\n";
        }
    }
    s += "  marks drawn: " + marks_line(r) + "\n";
    s += optics_lines(r);
    s += objects_lines(r);
    if (!pictures.empty()) {
        s += "  pictures:";
        for (size_t i = 0; i < pictures.size(); ++i) s += (i ? ", " : " ") + pictures[i];
        s += "\n";
    }
    return s;
}

std::string transcript_header(const RunInfo& r) {
    std::string s = std::string("orvik Taverin in the stand-in host (taverin-host ") + kVersion + ")\n";
    s += "module " + r.module_path + ": server \"" + r.server_name + "\" of class \"" + r.class_name +
         "\", activation result " + std::to_string(r.activation) + "\n";
    s += "scene: " + r.scene_name + "; " + std::to_string(r.scene->objects.size()) + " objects, " +
         std::to_string(r.scene->viewports.size()) + " viewports, time " + plain(r.time_at_start) + " s\n";
    s += camera_line(r.camera_at_start, r.time_at_start);
    return s;
}

std::string transcript_end(const RunInfo& r) { return r.report.empty() ? "" : "\nreport: " + r.report + "\n"; }

}  // namespace host
