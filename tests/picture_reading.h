// Reading the pictures back in tests: a scene played through the built module, and the
// elements, attributes and numbers of the SVG the program draws from it.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/host.h"
#include "host/program/input/scene_json.h"
#include "host/program/pictures/pictures.h"
#include "host/program/session/camera_view.h"
#include "host/program/session/player.h"

namespace picture_test {

using namespace host;

// Plays a scene's session through the built module; the records, the state before first.
inline std::vector<StepRecord> play(Host& h, const std::string& scene_text) {
    std::vector<Step> steps;
    std::string error;
    EXPECT_TRUE(read_scene({"scene", scene_text}, ".", h.scene, steps, error)) << error;
    EXPECT_TRUE(h.load(TAVERIN_MODULE_PATH, error, true)) << error;
    EXPECT_EQ(h.activate(), 0);
    Player player(h);
    std::vector<StepRecord> out = {player.initial()};
    for (size_t i = 0; i < steps.size(); ++i) out.push_back(player.play(steps[i], i + 1));
    return out;
}

// The value of `attribute` in the first element that contains `marker` (or, when `marker`
// ends with "<", the element that follows it).
inline std::string attribute(const std::string& svg, const std::string& marker, const std::string& attribute) {
    const size_t at = svg.find(marker);
    if (at == std::string::npos) return "(no element " + marker + ")";
    const bool next = marker.back() == '<';
    const size_t start = next ? at + marker.size() - 1 : svg.rfind('<', at);
    const size_t end = svg.find('>', next ? start : at);
    const std::string element = svg.substr(start, end - start);
    const std::string key = " " + attribute + "=\"";
    const size_t a = element.find(key);
    if (a == std::string::npos) return "(none)";
    const size_t v = a + key.size();
    return element.substr(v, element.find('"', v) - v);
}

// Every element of `svg` that holds `marker`, each as its text from "<" to ">".
inline std::vector<std::string> elements(const std::string& svg, const std::string& marker) {
    std::vector<std::string> out;
    for (size_t at = svg.find(marker); at != std::string::npos; at = svg.find(marker, at + 1)) {
        const size_t start = svg.rfind('<', at);
        out.push_back(svg.substr(start, svg.find('>', at) - start));
    }
    return out;
}

inline double number_of(const std::string& element, const std::string& name) {
    const std::string key = " " + name + "=\"";
    const size_t a = element.find(key);
    return a == std::string::npos ? NAN : std::stod(element.substr(a + key.size()));
}

// The points of every polyline of class `cls`.
inline std::vector<std::pair<double, double>> polyline_points(const std::string& svg, const std::string& cls) {
    std::vector<std::pair<double, double>> out;
    for (const std::string& e : elements(svg, "class=\"" + cls + "\"")) {
        const size_t a = e.find(" points=\"") + 9;
        std::istringstream in(e.substr(a, e.find('"', a) - a));
        double x, y;
        char comma;
        while (in >> x >> comma >> y) out.emplace_back(x, y);
    }
    return out;
}

inline std::string decode_base64(const std::string& text) {
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (char ch : text) {
        const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const char* at = std::strchr(digits, ch);
        if (ch == '=' || !at || !*at) break;
        value = value << 6 | static_cast<unsigned>(at - digits);
        if ((bits += 6) >= 8) out += static_cast<char>(value >> (bits -= 8) & 0xFF);
    }
    return out;
}

// The camera view's picture, with the view cast as the program casts it.
inline std::string camera_view(const Host& h, const StepRecord& rec) {
    return camera_picture(h.scene, rec, CameraView(h.scene, camera_viewport(h.scene)));
}

}  // namespace picture_test
