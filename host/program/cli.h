// The command line of taverin-host.
#pragma once

#include <string>
#include <vector>

namespace host {

// Exit statuses, documented in --help.
enum ExitStatus : int {
    kExitDone = 0,
    kExitModule = 1,     // the module could not be loaded or activated
    kExitBadInput = 2,   // the command line, a scene, session or mesh file was refused
    kExitOutput = 3,     // a picture or the report could not be written
    kExitInternal = 4,   // an error in the program itself
    kExitMissed = 5,     // --focus-at: the click hit nothing, so the focus is unchanged
};

struct CommandLine {
    std::string module;    // empty: orvik_taverin_64.p beside the program
    std::string scene;     // empty: the built-in demo scene; "-": standard input
    std::string session;   // a file ("-": standard input), or JSON text when it starts with "["
    std::vector<std::string> clicks;
    std::string focus_at;
    std::string out = "out";
    std::string report;
    bool json = false;
    bool no_pictures = false;
    bool help = false;
    bool version = false;
};

// Parses the arguments (argv[1] on). False with `error` set to one line.
bool parse_command_line(int argc, const char* const* argv, CommandLine& cl, std::string& error);

std::string help_text();
// The version, as a line of text or (with `json`) a JSON object.
std::string version_text(bool json);

}  // namespace host
