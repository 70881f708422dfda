// Scene files, sessions and clicks as the program reads them: every refusal names the place
// and the reason, and what is accepted stays within the program's limits.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "host/program/input/demo_scene.h"
#include "host/program/input/scene_json.h"
#include "host/program/input/session_json.h"
#include "host/program/input/source.h"

using namespace host;
namespace fs = std::filesystem;

namespace {

std::string scene_error(const std::string& text) {
    Scene scene;
    std::vector<Step> steps;
    std::string error;
    EXPECT_FALSE(read_scene({"s.json", text}, ".", scene, steps, error)) << text;
    return error;
}

Scene demo() {
    Scene scene;
    std::vector<Step> steps;
    std::string error;
    EXPECT_TRUE(read_scene({"demo", demo_scene_json()}, ".", scene, steps, error)) << error;
    return scene;
}

}  // namespace

TEST(SceneFile, TheDemoReads) {
    Scene scene;
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(read_scene({"demo", demo_scene_json()}, ".", scene, steps, error)) << error;
    EXPECT_EQ(scene.objects.size(), 3u);
    EXPECT_EQ(scene.viewports[0].type, 9);
    EXPECT_EQ(scene.camera.film_width, 0.036);
    EXPECT_EQ(steps.size(), 9u);
}

TEST(SceneFile, EveryRefusalNamesThePlaceAndTheReason) {
    const std::pair<std::string, std::string> cases[] = {
        {"{\"camera\": {\"fstop\": 2}}", "s.json:1:22: /camera/fstop: unknown field"},
        {"{\"camera\": {\"focal_length\": \"50\"}}", "s.json:1:29: /camera/focal_length: expected a number"},
        {"{\"camera\": {\"focal_length\": 0}}", "s.json:1:29: /camera/focal_length: must be at least 0.1 mm"},
        {"{\"camera\": {\"focal_length\": 20000}}", "s.json:1:29: /camera/focal_length: must be at most 10000 mm"},
        {"{\"camera\": {\"film_size\": [0.036, -0.024]}}", "s.json:1:34: /camera/film_size/1: must be at least 0.0001 m"},
        {"{\"camera\": {\"film_size\": [1e308, 0.024]}}", "s.json:1:27: /camera/film_size/0: must be at most 1 m"},
        {"{\"camera\": {\"film_size\": [0.036]}}", "s.json:1:26: /camera/film_size: expected an array of 2 numbers (metres)"},
        {"{\"camera\": {\"f_stop\": -1}}", "s.json:1:23: /camera/f_stop: must not be negative"},
        {"{\"camera\": {\"f_stop\": 5000}}", "s.json:1:23: /camera/f_stop: must be at most 1000"},
        {"{\"camera\": {\"focal_distance\": -3}}", "s.json:1:31: /camera/focal_distance: must be at least 0.000001 m"},
        {"{\"camera\": {\"focal_distance\": 1e308}}", "s.json:1:31: /camera/focal_distance: must be at most 1000000000 m"},
        {"{\"camera\": {\"position\": [0, 1e308, 0]}}", "s.json:1:29: /camera/position/1: must be at most 1000000000 m"},
        {"{\"camera\": {\"focal_envelope\": [{\"time\": 0, \"value\": -2}]}}",
         "s.json:1:53: /camera/focal_envelope/0/value: must be at least 0.000001 m"},
        {"{\"camera\": {\"focal_envelope\": [{\"time\": 0, \"value\": 2}, {\"time\": 0, \"value\": 3}]}}",
         "s.json:1:66: /camera/focal_envelope/1/time: two keys at the same time"},
        {"{\"objects\": [{\"type\": \"sphere\", \"center\": [0, 0, 0], \"radius\": 1e308}]}",
         "s.json:1:64: /objects/0/radius: must be at most 1000000000 m"},
        {"{\"objects\": [{\"type\": \"sphere\", \"center\": [0, 0, 0]}]}", "s.json:1:14: /objects/0: a sphere needs \"radius\""},
        {"{\"objects\": [{\"type\": \"box\", \"center\": [0, 0, 0], \"size\": [1, 0, 1]}]}",
         "s.json:1:63: /objects/0/size/1: must be at least 0.000001 m"},
        {"{\"objects\": [{\"type\": \"cone\"}]}", "s.json:1:23: /objects/0/type: unknown object type \"cone\" (sphere, box or mesh)"},
        {"{\"objects\": [{\"type\": \"sphere\", \"name\": \"A\", \"center\": [0, 0, 0], \"radius\": 1}, "
         "{\"type\": \"box\", \"name\": \"A\", \"center\": [0, 0, 0], \"size\": [1, 1, 1]}]}",
         "s.json:1:81: /objects/1: two objects named \"A\""},
        {"{\"viewports\": [{\"width\": 0}]}", "s.json:1:26: /viewports/0/width: must be from 1 to 16384"},
        {"{\"viewports\": [{\"height\": 2147483648}]}", "s.json:1:27: /viewports/0/height: must be from 1 to 16384"},
        {"{\"viewports\": [{\"type\": \"side\"}]}", "s.json:1:25: /viewports/0/type: unknown viewport type \"side\" (camera, top, front or perspective)"},
        {"{\"session\": [{\"do\": \"dance\"}]}", "s.json:1:21: /session/0/do: unknown step \"dance\""},
        // Names quoted from the file stay on the message's one line.
        {"{\"session\": [{\"do\": \"da\\nn\\rce\\u0007\"}]}", "s.json:1:21: /session/0/do: unknown step \"da\\nn\\rce?\""},
        {"{\"camera\": {\"f\\nstop\": 2}}", "s.json:1:24: /camera/f\\nstop: unknown field"},
        {"{\"time\": 1e300}", "s.json:1:10: /time: must be at most 1000000000 s"},
        // Lower limits: nothing the program derives may overflow or underflow.
        {"{\"camera\": {\"focal_length\": 1e-300}}", "s.json:1:29: /camera/focal_length: must be at least 0.1 mm"},
        {"{\"camera\": {\"f_stop\": 1e-300}}", "s.json:1:23: /camera/f_stop: must be 0 (no blur) or at least 0.5"},
        {"{\"camera\": {\"f_stop\": 0.49}}", "s.json:1:23: /camera/f_stop: must be 0 (no blur) or at least 0.5"},
        {"{\"objects\": [{\"type\": \"sphere\", \"center\": [0, 0, 0], \"radius\": 1e-300}]}",
         "s.json:1:64: /objects/0/radius: must be at least 0.000001 m"},
        {"{\"objects\": [{\"type\": \"mesh\", \"file\": \"m.obj\", \"scale\": 1e-9}]}",
         "s.json:1:57: /objects/0/scale: must be at least 0.000001"},
        // Texts have a length.
        {"{\"objects\": [{\"type\": \"sphere\", \"name\": \"" + std::string(257, 'n') + "\"}]}",
         "s.json:1:41: /objects/0/name: longer than 256 characters"},
        {"{\"viewports\": [{\"name\": \"" + std::string(300, 'v') + "\"}]}",
         "s.json:1:25: /viewports/0/name: longer than 256 characters"},
        {"{\"camera\": {\"" + std::string(300, 'k') + "\": 1}}",
         "s.json:1:" + std::to_string(317) + ": /camera/" + std::string(200, 'k') + "...: unknown field"},
        {"[1, 2]", "s.json:1:1: /: expected an object"},
        {"{\"a\": 1, \"a\": 2}", "s.json:1:10: malformed JSON: the key \"a\" appears twice in one object"},
        {"{\"camera\": {\"focal_distance\": 1e999}}", "s.json:1:31: malformed JSON: the number 1e999 is out of the range of a double"},
        {"{\"camera\": {\"f_stop\": NaN}}", "s.json:1:23: malformed JSON: NaN and Infinity are not JSON numbers"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(scene_error(text), expected) << text;
}

TEST(SceneFile, AnFStopOfZeroIsAccepted) {
    Scene scene;
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(read_scene({"s.json", "{\"camera\": {\"f_stop\": 0}}"}, ".", scene, steps, error)) << error;
    EXPECT_EQ(scene.camera.f_stop, 0.0);
}

TEST(Session, StepsNameOnlyWhatTheSceneHasAndStayInsideIt) {
    const Scene scene = demo();
    const std::pair<const char*, const char*> cases[] = {
        {"[{\"do\": \"click\", \"viewport\": \"Side\", \"pixel\": [1, 1]}]", "s:1:30: /0/viewport: no viewport named \"Side\""},
        {"[{\"do\": \"click\", \"viewport\": \"Top\", \"pixel\": [-5000, 1e9]}]",
         "s:1:46: /0/pixel: the pixel (-5000, 1000000000) is outside \"Top\" (640 x 480 pixels)"},
        {"[{\"do\": \"click\", \"viewport\": \"Top\", \"pixel\": [640, 0]}]",
         "s:1:46: /0/pixel: the pixel (640, 0) is outside \"Top\" (640 x 480 pixels)"},
        {"[{\"do\": \"choose\", \"control\": \"Origin\", \"index\": 99}]", "s:1:49: /0/index: must be from 0 to 1"},
        {"[{\"do\": \"choose\", \"control\": \"H\", \"index\": 0}]", "s:1:30: /0/control: \"H\" is not a choice (Origin or Method)"},
        {"[{\"do\": \"type\", \"control\": \"Q\", \"value\": 1}]", "s:1:28: /0/control: \"Q\" is not a field (H, P, B, X, Y or Z)"},
        {"[{\"do\": \"type\", \"control\": \"H\", \"value\": 1e300}]", "s:1:42: /0/value: must be at most 1000000000"},
        {"[{\"do\": \"select_item\", \"item\": \"Moon\"}]", "s:1:32: /0/item: no object named \"Moon\""},
        {"[{\"do\": \"drag\", \"viewport\": \"Top\", \"pixel\": [1, 1], \"motions\": [2147483647]}]",
         "s:1:65: /0/motions/0: must be from -100000 to 100000"},
        {"[{\"do\": \"time\"}]", "s:1:2: /0: \"time\" needs \"value\""},
        {"{\"do\": \"apply\"}", "s:1:1: /: expected an array of steps"},
    };
    for (const auto& [text, expected] : cases) {
        std::vector<Step> steps;
        std::string error;
        EXPECT_FALSE(read_session({"s", text}, scene, SceneNames(scene), steps, error)) << text;
        EXPECT_EQ(error, expected) << text;
    }
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(read_session({"s", "[{\"do\": \"select_item\", \"item\": \"\"}, {\"do\": \"apply\"}]"}, scene,
                             SceneNames(scene), steps, error))
        << error;
    EXPECT_EQ(steps.size(), 2u);
}

TEST(Session, ClicksFromTheCommandLine) {
    const Scene scene = demo();
    const SceneNames names(scene);
    Step s;
    std::string why;
    ASSERT_TRUE(parse_click("Camera View:319.5,300", scene, names, s, why)) << why;
    EXPECT_EQ(s.viewport, "Camera View");
    EXPECT_EQ(s.px, 319.5);
    EXPECT_FALSE(parse_click("Camera View:12", scene, names, s, why));
    EXPECT_EQ(why, "expected VIEWPORT:X,Y");
    EXPECT_FALSE(parse_click("Camera View:nan,3", scene, names, s, why));
    EXPECT_FALSE(parse_click("Camera View:1e999,3", scene, names, s, why));
    EXPECT_FALSE(parse_click("Side:1,1", scene, names, s, why));
    EXPECT_EQ(why, "no viewport named \"Side\" in the scene");
    EXPECT_FALSE(parse_click("Top:-5000,1e9", scene, names, s, why));
    EXPECT_EQ(why, "the pixel (-5000, 1000000000) is outside \"Top\" (640 x 480 pixels)");
}

TEST(Files, AFolderIsNotAFileAndOnlyUtf8TextIsRead) {
    const std::string dir = (fs::temp_directory_path() / "taverin_folder_test").string();
    fs::create_directories(dir);
    Source source;
    std::string error;
    EXPECT_FALSE(read_source(dir, source, error));
    EXPECT_EQ(error, dir + ": is a folder, not a file");
    EXPECT_FALSE(read_source(dir + "/none.json", source, error));
    EXPECT_EQ(error, dir + "/none.json: no such file");
    // Byte order marks: UTF-8's is skipped; another encoding's is refused by name.
    const std::pair<std::string, std::string> marks[] = {
        {"\xEF\xBB\xBF[]", ""},
        {std::string("\xFF\xFE[\0]\0", 6), "the text is UTF-16 (little-endian); save it as UTF-8"},
        {std::string("\xFE\xFF\0[\0]", 6), "the text is UTF-16 (big-endian); save it as UTF-8"},
        {std::string("\xFF\xFE\0\0[\0\0\0", 8), "the text is UTF-32 (little-endian); save it as UTF-8"},
        {std::string("\0\0\xFE\xFF\0\0\0[", 8), "the text is UTF-32 (big-endian); save it as UTF-8"},
    };
    const std::string path = dir + "/marked.json";
    for (const auto& [bytes, refusal] : marks) {
        std::ofstream(path, std::ios::binary) << bytes;
        error.clear();
        EXPECT_EQ(read_source(path, source, error), refusal.empty()) << refusal;
        EXPECT_EQ(error, refusal.empty() ? "" : path + ": " + refusal);
        if (refusal.empty()) {
            EXPECT_EQ(source.text, "[]");
        }
    }
    fs::remove_all(dir);
}

TEST(SceneFile, LargeInputsReadInTimeLinearInTheirSize) {
    // 50,000 objects, envelope keys and steps naming the last object: every check by name or
    // time is done in constant or logarithmic time, not against every earlier entry.
    const int n = 50000;
    std::string objects, keys, steps;
    for (int i = 0; i < n; ++i) {
        objects += "{\"type\": \"sphere\", \"name\": \"S" + std::to_string(i) + "\", \"center\": [0, 0, 0], \"radius\": 1}, ";
        keys += "{\"time\": " + std::to_string(n - i) + ", \"value\": 2}, ";
        steps += "{\"do\": \"select_item\", \"item\": \"S" + std::to_string(n - 1) + "\"}, ";
    }
    auto scene = [&](const std::string& last_object, const std::string& last_key) {
        return "{\"camera\": {\"focal_envelope\": [" + keys + last_key + "]}, \"objects\": [" + objects + last_object +
               "], \"session\": [" + steps + "{\"do\": \"apply\"}]}";
    };
    const std::string sphere = "{\"type\": \"sphere\", \"name\": \"S7\", \"center\": [0, 0, 0], \"radius\": 1}";
    const auto start = std::chrono::steady_clock::now();
    Scene s;
    std::vector<Step> read;
    std::string error;
    ASSERT_TRUE(read_scene({"s.json", scene("{\"type\": \"box\", \"center\": [0, 0, 0], \"size\": [1, 1, 1]}",
                                            "{\"time\": 0, \"value\": 3}")},
                           ".", s, read, error))
        << error;
    EXPECT_EQ(s.objects.size(), n + 1u);
    EXPECT_EQ(read.size(), n + 1u);
    EXPECT_EQ(read.front().object_index, n - 1);
    double focus = 0;
    ASSERT_TRUE(s.camera.focal_envelope()->evaluate(0.5, focus));
    EXPECT_EQ(focus, 2.5);  // halfway between the keys at 0 s and 1 s
    EXPECT_NE(scene_error(scene(sphere, "{\"time\": 0, \"value\": 3}")).find("/objects/" + std::to_string(n) + ": two objects named \"S7\""),
              std::string::npos);
    EXPECT_NE(scene_error(scene(sphere, "{\"time\": 77, \"value\": 3}")).find("/camera/focal_envelope/" + std::to_string(n) + "/time: two keys at the same time"),
              std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}
