#include "host/program/cli.h"

#include <cstring>

#include "host/program/text/format.h"
#include "host/program/limits.h"
#include "host/program/output/json_output.h"
#include "host/program/version.h"

namespace host {

namespace {

struct Option {
    const char* name;
    std::string CommandLine::*value;  // null for flags and for --click
    bool CommandLine::*flag;
};

const Option kOptions[] = {
    {"--module", &CommandLine::module, nullptr},   {"--scene", &CommandLine::scene, nullptr},
    {"--session", &CommandLine::session, nullptr}, {"--focus-at", &CommandLine::focus_at, nullptr},
    {"--out", &CommandLine::out, nullptr},         {"--report", &CommandLine::report, nullptr},
    {"--click", nullptr, nullptr},                 {"--json", nullptr, &CommandLine::json},
    {"--no-pictures", nullptr, &CommandLine::no_pictures},
    {"--help", nullptr, &CommandLine::help},       {"--version", nullptr, &CommandLine::version},
};

std::string shown_arg(const std::string& a) { return "\"" + clipped(a) + "\""; }

}  // namespace

bool parse_command_line(int argc, const char* const* argv, CommandLine& cl, std::string& error) {
    std::vector<std::string> given;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i] ? argv[i] : "";
        std::string value;
        bool has_value = false;
        if (arg.rfind("--", 0) == 0) {
            const size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                has_value = true;
            }
        }
        const Option* opt = nullptr;
        for (const Option& o : kOptions)
            if (arg == o.name) opt = &o;
        if (!opt) {
            error = arg.rfind("-", 0) == 0 ? "unknown option " + shown_arg(arg) + " (see --help)"
                                           : "unexpected argument " + shown_arg(arg) + " (see --help)";
            return false;
        }
        if (opt->flag) {
            if (has_value) {
                error = std::string(opt->name) + " takes no value";
                return false;
            }
            cl.*(opt->flag) = true;
            continue;
        }
        if (!has_value) {
            // The next argument is the value, unless it is another option (a file whose name
            // starts with "--" is given as --scene=--name).
            if (i + 1 >= argc || !argv[i + 1] || std::strncmp(argv[i + 1], "--", 2) == 0) {
                error = std::string(opt->name) + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (value.empty()) {
            error = std::string(opt->name) + " needs a value that is not empty";
            return false;
        }
        if (!opt->value) {
            cl.clicks.push_back(value);
            continue;
        }
        for (const std::string& g : given)
            if (g == opt->name) {
                error = std::string(opt->name) + " is given twice";
                return false;
            }
        given.emplace_back(opt->name);
        cl.*(opt->value) = value;
    }
    if (cl.scene == "-" && cl.session == "-") {
        error = "--scene - and --session - cannot both read standard input";
        return false;
    }
    if (!cl.focus_at.empty() && (!cl.session.empty() || !cl.clicks.empty())) {
        error = "--focus-at plays one click on its own: it cannot be combined with --session or --click";
        return false;
    }
    return true;
}

std::string version_text(bool json) {
    if (json)
        return std::string("{\"schema\": \"taverin-host-version\", \"program\": \"taverin-host\", \"version\": \"") + kVersion +
               "\", \"json_schema_version\": " + std::to_string(kJsonSchemaVersion) + "}\n";
    return std::string("taverin-host ") + kVersion + " (the orvik Taverin stand-in host)\n";
}

std::string help_text() {
    return "usage: taverin-host [options]\n"
           "\n"
           "Loads the orvik Taverin tool module into a stand-in host, activates it in a scene, plays a\n"
           "session of clicks, drags and panel edits through the module's callbacks, and shows what the\n"
           "tool did at each step: a transcript (or JSON), pictures, and optionally a report page.\n"
           "\n"
           "options:\n"
           "  --module FILE      the module file (default: orvik_taverin_64.p beside this program)\n"
           "  --scene FILE       a scene file (JSON); without it the built-in demo scene is played;\n"
           "                     - reads it from standard input\n"
           "  --session SESSION  the steps to play instead of the scene's own: a file (- for standard\n"
           "                     input), or JSON text when the argument starts with \"[\"\n"
           "  --click VIEWPORT:X,Y\n"
           "                     also click at a pixel of a viewport (repeatable)\n"
           "  --focus-at VIEWPORT:X,Y\n"
           "                     play only this one click on the scene (not its session), in a\n"
           "                     camera view; exit status 5 when it hits nothing\n"
           "  --out DIR          the folder for the pictures (default: out); per step N,\n"
           "                     step_NN_camera.svg and step_NN_top.svg (step 00: before the first;\n"
           "                     as many digits as the last step's number). Pictures an earlier run\n"
           "                     wrote there and this one does not are removed\n"
           "  --no-pictures      write no pictures\n"
           "  --report FILE      also write one self-contained HTML page with every step (with\n"
           "                     --no-pictures, without pictures)\n"
           "  --json             print the results as JSON (schema: docs/taverin-host-json.md);\n"
           "                     an error is then a JSON object on standard error\n"
           "  --version          print the version (as JSON with --json)\n"
           "  --help             print this help\n"
           "\n"
           "exit status:\n"
           "  0  done\n"
           "  1  the module could not be loaded or activated\n"
           "  2  bad input: the command line, a scene, session or mesh file was refused (nothing is\n"
           "     printed on standard output and nothing is written)\n"
           "  3  a picture or the report could not be written (nothing is left half-written;\n"
           "     standard output holds the steps played before the failure)\n"
           "  4  an error in the program itself\n"
           "  5  --focus-at hit nothing: the focus is unchanged (the results are printed as usual)\n"
           "Every error is one line on standard error naming the file or argument and the place.\n"
           "\n"
           "limits (anything beyond is refused):\n"
           "  positions, centres                   at most " + plain(kMaxCoordinate) + " m from 0\n"
           "  sizes, radii, distances, scales      " + plain(kMinLength) + " to " + plain(kMaxCoordinate) + " (m)\n"
           "  film width and height                " + plain(kMinFilm) + " to " + plain(kMaxFilm) + " m\n"
           "  focal length                         " + plain(kMinFocalLength) + " to " + plain(kMaxFocalLength) + " mm\n"
           "  f-stop                               0 (no blur, no limits drawn), or " + plain(kMinFStop) + " to " +
           plain(kMaxFStop) + "\n"
           "  viewport width and height            1 to " + std::to_string(kMaxViewport) + " pixels\n"
           "  panel values                         0, or " + plain(kMinFieldValue) + " to " + plain(kMaxFieldValue) +
           " in size\n"
           "  clicks                               inside their viewport\n"
           "  names                                at most " + std::to_string(kMaxNameLength) + " characters\n"
           "  concave OBJ polygons                 at most " + std::to_string(kMaxConcaveCorners) + " corners\n"
           "Files may start with a UTF-8 byte order mark; text in UTF-16 or UTF-32 is refused.\n";
}

}  // namespace host
