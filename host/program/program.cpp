// taverin-host: the stand-in host as a program. Reads and checks everything the user gave,
// loads the module through the operating system's loader, activates it, and plays the session
// step by step: each step's pictures, report section and results are written as it is played
// and then dropped, so that memory stays flat however long the session. The files are renamed
// into place only when every one was written.
#include "host/program/program.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <new>
#include <optional>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#define TAVERIN_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define TAVERIN_ISATTY(fd) isatty(fd)
#endif

#include "host/host.h"
#include "host/program/cli.h"
#include "host/program/input/demo_scene.h"
#include "host/program/input/scene_json.h"
#include "host/program/input/scene_names.h"
#include "host/program/input/session_json.h"
#include "host/program/input/source.h"
#include "host/program/output/files.h"
#include "host/program/output/json_output.h"
#include "host/program/output/picture_files.h"
#include "host/program/output/report.h"
#include "host/program/output/transcript.h"
#include "host/program/pictures/pictures.h"
#include "host/program/text/format.h"

namespace host {

namespace {

struct Failure {
    int status;
    std::string message;
};

// A progress line on standard error, only when it is a terminal and only once a load has
// taken longer than a second.
class ProgressLine {
public:
    ProgressLine() : start_(std::chrono::steady_clock::now()), terminal_(TAVERIN_ISATTY(2) != 0) {}
    ~ProgressLine() { clear(); }
    void show(const char* stage, double fraction) {
        if (!terminal_ || std::chrono::steady_clock::now() - start_ < std::chrono::seconds(1)) return;
        std::fprintf(stderr, "\rtaverin-host: %s %3d%%   ", stage, static_cast<int>(fraction * 100));
        std::fflush(stderr);
        shown_ = true;
    }
    void clear() {
        if (shown_) std::fprintf(stderr, "\r%50s\r", "");
        shown_ = false;
    }

private:
    std::chrono::steady_clock::time_point start_;
    bool terminal_;
    bool shown_ = false;
};

std::string directory_of(const std::string& path) {
    const std::string dir = std::filesystem::path(path).parent_path().string();
    return dir.empty() ? "." : dir;
}

std::string default_module_path(const char* argv0) {
    const std::string self = argv0 ? argv0 : "";
    const size_t slash = self.find_last_of("/\\");
    return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/orvik_taverin_64.p";
}

// A --session argument that is JSON text rather than a path.
bool inline_session(const std::string& arg) {
    const size_t first = arg.find_first_not_of(" \t\r\n");
    return first != std::string::npos && arg[first] == '[';
}

// The scene and the steps to play, from the scene file (or the demo) and the command line.
void read_inputs(const CommandLine& cl, Scene& scene, std::vector<Step>& steps, std::string& scene_name,
                 ProgressLine& progress) {
    std::string error;
    Source source;
    if (cl.scene.empty()) {
        source = {"built-in demo scene", demo_scene_json()};
    } else if (!read_source(cl.scene, source, error)) {
        throw Failure{kExitBadInput, error};
    }
    scene_name = source.name;
    const Progress report = [&progress](const char* stage, double f) { progress.show(stage, f); };
    if (!read_scene(source, directory_of(cl.scene), scene, steps, error, &report))
        throw Failure{kExitBadInput, error};
    progress.clear();
    const SceneNames names(scene);
    if (!cl.session.empty()) {
        Source s;
        if (inline_session(cl.session)) {
            s = {"--session", cl.session};
            if (!accept_text(s, error)) throw Failure{kExitBadInput, error};
        } else if (!read_source(cl.session, s, error)) {
            throw Failure{kExitBadInput, "--session " + error};
        }
        steps.clear();
        if (!read_session(s, scene, names, steps, error)) throw Failure{kExitBadInput, error};
    }
    auto click = [&](const char* option, const std::string& arg) {
        Step st;
        if (!parse_click(arg, scene, names, st, error))
            throw Failure{kExitBadInput, std::string(option) + " \"" + clipped(arg) + "\": " + error};
        return st;
    };
    if (!cl.focus_at.empty()) {
        steps = {click("--focus-at", cl.focus_at)};
        const Viewport& vp = scene.viewports[static_cast<size_t>(steps[0].viewport_index)];
        if (vp.type != kViewCamera)
            throw Failure{kExitBadInput, "--focus-at \"" + clipped(cl.focus_at) + "\": \"" + clipped(vp.name) +
                                             "\" is not a camera view (the tool focuses only through the camera)"};
    }
    for (const std::string& c : cl.clicks) steps.push_back(click("--click", c));
}

const char* const kViews[2] = {"camera", "top"};

// Folders and files the outputs go to. The report may not take the place of an input (the
// scene, session, module or a mesh file) or of one of the pictures: the write would destroy
// the one or lose the other.
void check_outputs(const CommandLine& cl, const Scene& scene, const std::string& module_path,
                   const PictureFiles& pictures, size_t last_step) {
    if (!cl.no_pictures)
        if (std::string p = folder_problem(cl.out); !p.empty()) throw Failure{kExitBadInput, "--out " + p};
    if (cl.report.empty()) return;
    if (std::string p = file_problem(cl.report); !p.empty()) throw Failure{kExitBadInput, "--report " + p};
    const std::pair<const char*, std::string> inputs[] = {
        {"the scene file", cl.scene}, {"the session file", inline_session(cl.session) ? "" : cl.session},
        {"the module file", module_path}};
    for (const auto& [what, path] : inputs)
        if (!path.empty() && path != kStandardInput && same_file(cl.report, path))
            throw Failure{kExitBadInput, "--report " + cl.report + ": is " + what + "; the report would replace it"};
    for (const Object& o : scene.objects)
        if (!o.file.empty() && same_file(cl.report, o.file))
            throw Failure{kExitBadInput, "--report " + cl.report + ": is the mesh file of \"" + o.name + "\"; the report would replace it"};
    if (cl.no_pictures) return;
    const std::filesystem::path report(cl.report);
    const std::string folder = report.parent_path().string();
    if (!same_file(folder.empty() ? "." : folder, cl.out)) return;
    const std::string name = report.filename().string();
    if (name == kPictureRecord)
        throw Failure{kExitBadInput, "--report " + cl.report + ": is the record of the pictures in --out"};
    for (size_t n = 0; n <= last_step; ++n)
        for (const char* view : kViews)
            if (name == pictures.name(n, view))
                throw Failure{kExitBadInput, "--report " + cl.report + ": is the name of a picture this run writes"};
}

// Standard output, written as the run goes.
void print(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

int run(const CommandLine& cl, const char* argv0) {
    ProgressLine progress;
    Scene scene;
    std::vector<Step> steps;
    RunInfo info;
    read_inputs(cl, scene, steps, info.scene_name, progress);
    info.module_path = cl.module.empty() ? default_module_path(argv0) : cl.module;
    const size_t last = steps.size();
    PictureFiles pictures(cl.out, last);
    check_outputs(cl, scene, info.module_path, pictures, last);

    Host h;
    info.camera_at_start = scene.camera;
    info.time_at_start = scene.time;
    h.scene = std::move(scene);
    info.scene = &h.scene;
    info.report = cl.report;
    std::string error;
    if (!h.load(info.module_path, error, false)) throw Failure{kExitModule, error};
    info.server_name = h.module()->server().server_name;
    info.class_name = h.module()->server().class_name;
    info.activation = h.activate();
    if (info.activation != 0)
        throw Failure{kExitModule, info.module_path + ": activation failed with result " + std::to_string(info.activation)};
    info.services = h.record.lookups;

    const bool draw = !cl.no_pictures;
    PendingFiles files;
    auto check = [&](bool ok) {
        if (!ok) throw Failure{kExitOutput, error};
    };
    std::optional<Report> report;
    int report_file = -1;
    if (!cl.report.empty()) {
        report.emplace(info, draw);
        report_file = files.open(cl.report, error);
        check(report_file >= 0 && files.write(report_file, report->head(), error));
    }
    Player player(h);
    bool missed = false;
    std::string pending = cl.json ? json_head(info) : transcript_header(info);
    for (size_t i = 0; i <= last; ++i) {
        const StepRecord rec = i == 0 ? player.initial() : player.play(steps[i - 1], i);
        missed = i > 0 && rec.has_ray && !rec.ray.hit;
        std::vector<std::string> svgs, written;
        if (draw) {
            svgs = {camera_picture(h.scene, rec, player.view()), top_picture(h.scene, rec)};
            for (size_t v = 0; v < 2; ++v) {
                check(pictures.write(files, i, kViews[v], svgs[v], error));
                written.push_back(pictures.path(i, kViews[v]));
            }
        }
        if (report) check(files.write(report_file, report->step(rec, svgs, written), error));
        // A step's results go out once its files are written.
        pending += cl.json ? json_step(rec, written, i == 0) : step_transcript(rec, written);
        print(pending);
        pending.clear();
    }
    h.release();
    if (report) check(files.write(report_file, report->end(), error) && files.close(report_file, error));
    if (draw) check(pictures.record(files, error));
    check(files.commit(error));
    if (draw) pictures.remove_earlier();
    print(cl.json ? json_end(info) : transcript_end(info));
    if (!cl.focus_at.empty() && missed)
        throw Failure{kExitMissed, "--focus-at \"" + clipped(cl.focus_at) + "\": the click hit nothing, so the focus is unchanged"};
    return kExitDone;
}

}  // namespace

int run_program(int argc, const char* const* argv) {
#if defined(_WIN32)
    // The same bytes as on Linux: "\n" ends a line on standard output and error too.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    CommandLine cl;
    std::string error;
    int status = kExitDone;
    try {
        if (!parse_command_line(argc, argv, cl, error)) throw Failure{kExitBadInput, error};
        if (cl.help || cl.version) {
            print(cl.help ? help_text() : version_text(cl.json));
            return kExitDone;
        }
        status = run(cl, argc > 0 ? argv[0] : nullptr);
    } catch (const Failure& f) {
        status = f.status;
        error = f.message;
    } catch (const std::bad_alloc&) {
        status = kExitInternal;
        error = "out of memory";
    } catch (...) {
        status = kExitInternal;
        error = "internal error (please report it with the command that caused it)";
    }
    if (status != kExitDone) {
        const std::string line = cl.json ? json_error(status, error) : "taverin-host: " + one_line(error);
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    std::fflush(stdout);
    return status;
}

}  // namespace host
