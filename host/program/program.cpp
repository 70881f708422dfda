// taverin-host: the stand-in host as a program. Reads and checks everything the user gave,
// loads the module through the operating system's loader, activates it, plays the session,
// and writes the pictures and the report before it prints the transcript or the JSON.
#include "host/program/program.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <new>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#define TAVERIN_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define TAVERIN_ISATTY(fd) isatty(fd)
#endif

#include "host/program/cli.h"
#include "host/program/demo_scene.h"
#include "host/program/files.h"
#include "host/program/format.h"
#include "host/host.h"
#include "host/program/json.h"
#include "host/program/json_output.h"
#include "host/program/obj_reader.h"
#include "host/program/pictures.h"
#include "host/program/scene_json.h"
#include "host/program/session_json.h"
#include "host/program/session_result.h"

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
    } else {
        source.name = cl.scene;
        if (!read_file(cl.scene, source.text, error)) throw Failure{kExitBadInput, error};
    }
    scene_name = source.name;
    const Progress report = [&progress](const char* stage, double f) { progress.show(stage, f); };
    if (!read_scene(source, directory_of(cl.scene), scene, steps, error, &report))
        throw Failure{kExitBadInput, error};
    progress.clear();
    if (!cl.session.empty()) {
        Source s;
        if (inline_session(cl.session)) {
            s = {"--session", cl.session};
        } else {
            s.name = cl.session;
            if (!read_file(cl.session, s.text, error)) throw Failure{kExitBadInput, "--session " + error};
        }
        steps.clear();
        if (!read_session(s, scene, steps, error)) throw Failure{kExitBadInput, error};
    }
    auto click = [&](const char* option, const std::string& arg) {
        Step st;
        if (!parse_click(arg, scene, st, error)) throw Failure{kExitBadInput, std::string(option) + " \"" + arg + "\": " + error};
        return st;
    };
    if (!cl.focus_at.empty()) steps = {click("--focus-at", cl.focus_at)};
    for (const std::string& c : cl.clicks) steps.push_back(click("--click", c));
}

std::string picture_name(size_t number, const char* view) {
    char name[64];
    std::snprintf(name, sizeof name, "step_%02zu_%s.svg", number, view);
    return name;
}

std::string picture_path(const std::string& dir, size_t number, const char* view) {
    return dir + "/" + picture_name(number, view);
}

// Folders and files the outputs go to. The report may not take the place of an input (the
// scene, session, module or a mesh file) or of one of the pictures: the write would destroy
// the one or lose the other.
void check_outputs(const CommandLine& cl, const Scene& scene, const std::string& module_path, size_t pictures) {
    if (!cl.no_pictures)
        if (std::string p = folder_problem(cl.out); !p.empty()) throw Failure{kExitBadInput, "--out " + p};
    if (cl.report.empty()) return;
    if (std::string p = file_problem(cl.report); !p.empty()) throw Failure{kExitBadInput, "--report " + p};
    const std::pair<const char*, std::string> inputs[] = {
        {"the scene file", cl.scene}, {"the session file", inline_session(cl.session) ? "" : cl.session},
        {"the module file", module_path}};
    for (const auto& [what, path] : inputs)
        if (!path.empty() && same_file(cl.report, path))
            throw Failure{kExitBadInput, "--report " + cl.report + ": is " + what + "; the report would replace it"};
    for (const Object& o : scene.objects)
        if (!o.file.empty() && same_file(cl.report, o.file))
            throw Failure{kExitBadInput, "--report " + cl.report + ": is the mesh file of \"" + o.name + "\"; the report would replace it"};
    if (cl.no_pictures) return;
    const std::filesystem::path report(cl.report);
    const std::string folder = report.parent_path().string();
    if (!same_file(folder.empty() ? "." : folder, cl.out)) return;
    const std::string name = report.filename().string();
    for (size_t n = 0; n < pictures; ++n)
        for (const char* view : {"camera", "top"})
            if (name == picture_name(n, view))
                throw Failure{kExitBadInput, "--report " + cl.report + ": is the name of a picture this run writes"};
}

int run(const CommandLine& cl, const char* argv0) {
    ProgressLine progress;
    Scene scene;
    std::vector<Step> steps;
    SessionResult result;
    read_inputs(cl, scene, steps, result.scene_name, progress);
    result.module_path = cl.module.empty() ? default_module_path(argv0) : cl.module;
    check_outputs(cl, scene, result.module_path, steps.size() + 1);

    Host h;
    result.camera_at_start = scene.camera;
    result.time_at_start = scene.time;
    h.scene = std::move(scene);
    std::string error;
    if (!h.load(result.module_path, error, false)) throw Failure{kExitModule, error};
    result.server_name = h.module()->server().server_name;
    result.class_name = h.module()->server().class_name;
    result.activation = h.activate();
    if (result.activation != 0)
        throw Failure{kExitModule, result.module_path + ": activation failed with result " + std::to_string(result.activation)};
    result.services = h.record.lookups;

    result.records.push_back(initial_state(h));
    for (size_t i = 0; i < steps.size(); ++i) result.records.push_back(play_step(h, steps[i], i + 1));
    h.release();
    result.scene = std::move(h.scene);

    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::vector<std::string>> svgs;
    for (const StepRecord& rec : result.records) {
        svgs.push_back({camera_picture(result.scene, rec), top_picture(result.scene, rec)});
        result.pictures.emplace_back();
        if (cl.no_pictures) continue;
        const char* views[2] = {"camera", "top"};
        for (int v = 0; v < 2; ++v) {
            files.emplace_back(picture_path(cl.out, rec.number, views[v]), svgs.back()[static_cast<size_t>(v)]);
            result.pictures.back().push_back(files.back().first);
        }
    }
    if (!cl.report.empty()) {
        result.report = cl.report;
        files.emplace_back(cl.report, report_page(result, svgs));
    }
    if (!write_files(files, error)) throw Failure{kExitOutput, error};
    const std::string text = cl.json ? json_results(result) : transcript(result);
    std::fwrite(text.data(), 1, text.size(), stdout);
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
            const std::string text = cl.help ? help_text() : version_text();
            std::fwrite(text.data(), 1, text.size(), stdout);
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
