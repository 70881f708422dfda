// The program's outputs as text: the JSON written in parts as the steps are played is one
// document, exactly as the writer would write it whole; distances carry the digits that tell
// them apart; the transcript lists the objects out of view without listing hundreds.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "host/host.h"
#include "host/program/input/demo_scene.h"
#include "host/program/input/scene_json.h"
#include "host/program/output/json_output.h"
#include "host/program/output/transcript.h"
#include "host/program/pictures/svg.h"
#include "host/program/program.h"
#include "host/program/text/format.h"
#include "host/program/text/json.h"

using namespace host;

TEST(Outputs, TheJsonWrittenStepByStepIsTheDocumentTheWriterWritesWhole) {
    Host h;
    std::vector<Step> steps;
    std::string error;
    ASSERT_TRUE(read_scene({"demo", demo_scene_json()}, ".", h.scene, steps, error)) << error;
    ASSERT_TRUE(h.load(TAVERIN_MODULE_PATH, error, true)) << error;
    ASSERT_EQ(h.activate(), 0);
    RunInfo info;
    info.scene = &h.scene;
    info.camera_at_start = h.scene.camera;
    info.report = "r.html";
    Player player(h);
    std::string text = json_head(info);
    for (size_t i = 0; i <= steps.size(); ++i)
        text += json_step(i == 0 ? player.initial() : player.play(steps[i - 1], i), {"a.svg"}, i == 0);
    text += json_end(info);
    json::Value doc;
    json::ParseError e;
    ASSERT_TRUE(json::parse(text, doc, e)) << e.line << ":" << e.column << " " << e.what;
    EXPECT_EQ(json::write(doc) + "\n", text);
    EXPECT_EQ(doc.find("steps")->items.size(), steps.size() + 1);
    EXPECT_EQ(doc.find("report")->text, "r.html");
    EXPECT_EQ(doc.find("camera")->find("focal_envelope")->boolean, false);
}

TEST(Outputs, DistancesCarryTheDigitsThatTellThemApart) {
    // Pairs of distances from a micrometre to a megametre, some a hair apart: each pair's texts
    // differ, read back within half their last digit, and show three significant digits or more.
    std::mt19937_64 rng(3);
    for (int i = 0; i < 2000; ++i) {
        const double a = std::pow(10.0, std::uniform_real_distribution<double>(-5, 6)(rng));
        const double b = a * (1 + std::pow(10.0, std::uniform_real_distribution<double>(-8, 0)(rng)));
        const DistanceFormat f = format_for({a, b});
        const std::string ta = f.text(a), tb = f.text(b);
        const double unit = f.millimetres ? 1e-3 : 1.0;
        const double last = std::pow(10.0, -f.decimals) * unit;
        if (f.decimals < 9) {
            EXPECT_NE(ta, tb) << a << " " << b;
        }
        EXPECT_NEAR(std::stod(ta) * unit, a, 0.5001 * last) << ta;
        EXPECT_NEAR(std::stod(tb) * unit, b, 0.5001 * last) << tb;
        EXPECT_LE(last, std::min(a, b) / 99.9) << ta;
    }
    EXPECT_EQ(format_for({0.4489, 0.4511}).text(0.4489), "448.90 mm");
    EXPECT_EQ(metres(INFINITY), "\xE2\x88\x9E");
    // A panel field shows a single-precision value as the float it is, anything else as itself;
    // the scale bar's lengths are 1, 2 or 5 of a power of ten, in millimetres below a metre.
    const std::pair<std::string, const char*> texts[] = {
        {field_text(0.001f), "0.001"},          {field_text(0.1), "0.1"},
        {field_text(123456.78901), "123456.78901"}, {field_text(16777217.0), "16777217"},
        {svg::length_label(svg::nice_length(0.0031)), "2 mm"}, {svg::length_label(svg::nice_length(0.6)), "500 mm"},
        {svg::length_label(svg::nice_length(3.6)), "5 m"},     {svg::length_label(svg::nice_length(80)), "100 m"},
        {svg::length_label(svg::nice_length(0.000023)), "0.02 mm"}, {svg::length_label(svg::nice_length(0.07)), "50 mm"},
        {svg::length_label(svg::nice_length(0.001)), "1 mm"},         {svg::length_label(svg::nice_length(37000)), "50000 m"}};
    for (const auto& [got, want] : texts) EXPECT_EQ(got, want);
}

TEST(Outputs, TheTranscriptListsObjectsOutOfViewWithoutListingHundreds) {
    StepRecord rec;
    for (size_t i = 0; i < 14; ++i) {
        ObjectFocus o;
        o.object = i;
        o.name = "Hidden " + std::to_string(i);
        rec.objects.push_back(o);
    }
    rec.objects[3].zone = ObjectFocus::Zone::Sharp;
    rec.objects[3].nearest_m = 2.5;
    rec.objects[3].farthest_m = 2.5;
    const std::string text = step_transcript(rec, {});
    EXPECT_NE(text.find("    Hidden 3 2.50 m: sharp\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    not in view: Hidden 0, Hidden 1, Hidden 2, Hidden 4, Hidden 5, Hidden 6, Hidden 7, Hidden 8, "
                        "Hidden 9, Hidden 10 and 3 more\n"),
              std::string::npos)
        << text;
}

TEST(Outputs, EveryFileIsWholeAndClosedWhenTheProgramReturns) {
    // In the same process, before anything is flushed at exit: the report and the pictures end
    // as they should, and nothing they were written through is left open.
    const std::string dir = (std::filesystem::temp_directory_path() / "taverin_outputs_whole").string();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string report = dir + "/report.html", out = dir + "/out";
    const char* argv[] = {"taverin-host", "--module", TAVERIN_MODULE_PATH, "--session", "[]", "--json",
                          "--report", report.c_str(), "--out", out.c_str()};
    auto open_files = [] {  // as Linux lists them; not counted elsewhere
        size_t n = 0;
#ifdef __linux__
        std::error_code ec;
        for (auto it = std::filesystem::directory_iterator("/proc/self/fd", ec); !ec && it != std::filesystem::directory_iterator(); ++it) ++n;
#endif
        return n;
    };
    testing::internal::CaptureStdout();
    const size_t before = open_files();
    EXPECT_EQ(run_program(10, argv), 0);
    EXPECT_EQ(open_files(), before);
    testing::internal::GetCapturedStdout();
    auto ending = [](const std::string& path, size_t n) {
        std::ifstream in(path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return text.substr(text.size() - std::min(n, text.size()));
    };
    EXPECT_EQ(ending(report, 8), "</html>\n");
    EXPECT_EQ(ending(out + "/step_00_camera.svg", 7), "</svg>\n");
    EXPECT_EQ(ending(out + "/step_00_top.svg", 7), "</svg>\n");
    std::filesystem::remove_all(dir);
}
