// taverin-host's command line and output writing, under arguments of arbitrary bytes: invalid
// UTF-8, very long and empty arguments, repeated options, paths that are folders, files or
// cannot be written, --json, --report. The program must never crash or hang, never leave a
// file half-written, exit only with a documented status (0 to 3, or 5 for a --focus-at that
// hits nothing), and on every non-zero exit print exactly one line on standard error.
//
// Each input is split at zero bytes into up to 16 arguments. An argument starting with byte
// 1 or 2 is replaced by an option or a value from the lists below (the rest of it appended),
// so that the fuzzer reaches the options quickly; any other argument is taken as it is.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/program/program.h"

namespace fs = std::filesystem;

namespace {

const char* const kOptions[] = {"--scene", "--session", "--click", "--focus-at", "--out", "--report", "--json",
                                "--no-pictures", "--module", "--help", "--version", "--out=", "--scene="};
const char* const kValues[] = {
    "scene.json", "folder", "file", "out", "report.html", "missing.json", "folder/report.html", "file/out",
    "[{\"do\": \"open_panel\"}, {\"do\": \"type\", \"control\": \"H\", \"value\": 2}]", "Cam:10,20", "Cam:1e999,2",
    "Cam:-1,5", "[", "", "bad\xff\xfe.json", "out/\xc3\x28", "--", "-", "scene.json\n", "@long name", "@long path"};

// Names longer than a file name may be, and paths longer than a path may be.
std::string value(size_t pick) {
    const std::string v = kValues[pick % (sizeof kValues / sizeof *kValues)];
    if (v == "@long name") return std::string(300, 'n') + ".json";
    if (v == "@long path") {
        std::string p;
        while (p.size() < 5000) p += "deep/";
        return p + "out";
    }
    return v;
}

// The arguments of the input being run, for the report of a failure.
std::vector<std::string> g_args;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "command line fuzzer: %s\n", what.c_str());
    for (const auto& a : g_args) {
        std::fprintf(stderr, "command line fuzzer: argument \"");
        for (unsigned char c : a) std::fprintf(stderr, (c < 0x20 || c >= 0x7F || c == '"') ? "\\x%02x" : "%c", c);
        std::fprintf(stderr, "\"\n");
    }
    std::abort();
}

// The files every input may name. Written again before each input, since an input may
// write a report over one of them.
void write_fixed_files(const fs::path& d) {
    std::ofstream(d / "file") << "not a scene";
    std::ofstream(d / "scene.json")
        << "{\"camera\": {\"position\": [0, 1, -5]}, \"objects\": [{\"type\": \"sphere\", \"name\": \"B\", "
           "\"center\": [0, 1, 3], \"radius\": 1}], \"viewports\": [{\"name\": \"Cam\", \"type\": \"camera\", "
           "\"width\": 64, \"height\": 48}], \"session\": [{\"do\": \"click\", \"viewport\": \"Cam\", \"pixel\": [31.5, 23.5]}]}";
}

std::string work_dir() {
    static const std::string dir = [] {
        // The module is instrumented too: kept loaded for the whole run, so that the program's
        // own unloading does not take away counters libFuzzer still reads.
        if (!::dlopen(TAVERIN_PROGRAM_DIR "/orvik_taverin_64.p", RTLD_NOW | RTLD_NODELETE)) fail("cannot load the module");
        const fs::path d = fs::temp_directory_path() / ("fuzz_cli_" + std::to_string(::getpid()));
        fs::remove_all(d);
        fs::create_directories(d / "folder");
        // Removed when the fuzzer ends normally (a failure leaves it for a look).
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(fs::temp_directory_path() / ("fuzz_cli_" + std::to_string(::getpid())), ec);
            fs::remove(fs::temp_directory_path() / ("fuzz_cli_stderr_" + std::to_string(::getpid())), ec);
        });
        return d.string();
    }();
    return dir;
}

bool ends_with(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Every file below the work folder that is not one of the fixed ones: nothing half-written,
// every picture and report complete; then removed for the next input.
void check_and_clean(const std::string& dir) {
    std::vector<fs::path> made;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        const fs::path p = it->path();
        const std::string name = p.filename().string();
        // A half-written file is "NAME.partial"; a folder or an output the input itself named
        // that way is not one.
        const bool named_by_input =
            std::any_of(g_args.begin() + 1, g_args.end(), [&](const std::string& a) { return ends_with(a, name); });
        if (ends_with(name, ".partial") && it->is_regular_file(ec) && !named_by_input)
            fail("a half-written file was left: " + p.string());
        // Judged by what the file is, not by its name: a report may be given any name,
        // ".svg" included.
        if (it->is_regular_file(ec) && (p.extension() == ".svg" || p.extension() == ".html")) {
            std::ifstream in(p, std::ios::binary);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const auto starts = [&](const char* s) { return text.rfind(s, 0) == 0; };
            if (starts("<svg") ? !ends_with(text, "</svg>\n") : starts("<!DOCTYPE html>") ? !ends_with(text, "</html>\n") : true)
                fail("an incomplete picture or report: " + p.string());
        }
    }
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
        const std::string name = entry.path().filename().string();
        if (name != "folder" && name != "file" && name != "scene.json") made.push_back(entry.path());
    }
    for (const auto& p : made) fs::remove_all(p, ec);
    for (const auto& entry : fs::directory_iterator(fs::path(dir) / "folder", ec)) fs::remove_all(entry.path(), ec);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string dir = work_dir();
    // The program reads and writes relative to the work folder; libFuzzer's own paths are
    // relative to where it was started, so the folder is left again after each input.
    static const fs::path start = fs::current_path();
    if (::chdir(dir.c_str()) != 0) fail("cannot enter " + dir);
    write_fixed_files(dir);
    std::vector<std::string> args = {std::string(TAVERIN_PROGRAM_DIR) + "/taverin-host"};
    std::string current;
    for (size_t i = 0; i <= size && args.size() < 17; ++i) {
        if (i == size || data[i] == 0) {
            if (!current.empty() && (current[0] == 1 || current[0] == 2)) {
                const bool option = current[0] == 1;
                const size_t pick = current.size() > 1 ? static_cast<unsigned char>(current[1]) : 0;
                const std::string rest = current.size() > 2 ? current.substr(2) : "";
                current = option ? std::string(kOptions[pick % (sizeof kOptions / sizeof *kOptions)]) + rest
                                 : value(pick) + rest;
            }
            args.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(data[i]);
        }
    }
    g_args = args;
    std::vector<const char*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());

    // Standard output to nowhere, standard error to a file the checks read.
    std::fflush(stdout);
    std::fflush(stderr);
    // Standard input from nowhere too: "--scene -" reads it to its end.
    const int saved_in = ::dup(0), saved_out = ::dup(1), saved_err = ::dup(2);
    const int null = ::open("/dev/null", O_RDWR);
    ::dup2(null, 0);
    const std::string err_path = dir + "/../fuzz_cli_stderr_" + std::to_string(::getpid());
    const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(null, 1);
    ::dup2(err, 2);
    const int status = host::run_program(static_cast<int>(argv.size()), argv.data());
    std::fflush(stdout);
    std::fflush(stderr);
    ::dup2(saved_in, 0);
    ::dup2(saved_out, 1);
    ::dup2(saved_err, 2);
    ::close(saved_in);
    ::close(saved_out);
    ::close(saved_err);
    ::close(null);
    ::close(err);

    std::ifstream in(err_path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (status < 0 || status > 5 || status == 4) fail("exit status " + std::to_string(status) + ": " + text);
    if (status != 0) {
        if (text.empty() || text.back() != '\n' || text.find('\n') != text.size() - 1)
            fail("exit status " + std::to_string(status) + " without exactly one line on standard error: \"" + text + "\"");
    }
    check_and_clean(dir);
    if (::chdir(start.c_str()) != 0) fail("cannot go back to " + start.string());
    return 0;
}
