// "LW Command Interface": the command interpreter. It knows the commands the tool issues and
// refuses anything else, recording why, so a malformed command never passes unnoticed.
#include <cmath>
#include <cstdlib>
#include <string>

#include "host/service_call.h"
#include "host/services/services.h"

namespace host {

namespace {

// One finite number, blanks allowed around it, nothing else.
bool parse_number(const char* text, double& out) {
    while (*text == ' ' || *text == '\t') ++text;
    if (!*text) return false;
    char* end = nullptr;
    out = std::strtod(text, &end);
    if (end == text) return false;
    while (*end == ' ' || *end == '\t') ++end;
    return *end == '\0' && std::isfinite(out);
}

int32_t run(const char* text) {
    ServiceCall call;
    if (!call) return 0;
    call.log("command(%s)", quoted(text).c_str());
    const std::string t = text ? text : "";
    call.record().commands.push_back(t);
    Camera& cam = call.scene().camera;
    auto refuse = [&](const std::string& why) {
        call.record().command_errors.push_back("\"" + t + "\": " + why);
        return 0;
    };
    if (t == "DepthOfField") {
        cam.flags ^= kCameraDofFlag;  // the command toggles the setting
        return 1;
    }
    const size_t sp = t.find(' ');
    const std::string name = t.substr(0, sp);
    double v = 0;
    if (name != "FocalDistance" && name != "LensFStop") return refuse("unknown command");
    if (sp == std::string::npos || !parse_number(t.c_str() + sp, v)) return refuse("expects one finite number");
    if (name == "FocalDistance") {
        const double now = call.scene().time;
        if (Envelope* env = cam.focal_envelope()) {
            if (Key* k = env->find(now)) k->value = v;
            else env->create(now, v);
        }
        cam.focal_distance = v;
    } else {
        cam.f_stop = v;
    }
    return 1;
}

}  // namespace

taverin::CommandService::Function command_function() { return run; }

}  // namespace host
