// The module in a hostile stand-in host: random sequences of activations, releases, tool
// events, panel edits and draws, while the host answers with null handles, zero, negative,
// NaN, infinite and huge values, empty and large scenes and odd viewport indices, places
// controls away from where it is asked, fires control callbacks when the module sets a value,
// and takes the pick ray as given or normalised. Besides the
// sanitizers' checks, every command must fit its buffer and hold no "nan" or "inf", and every
// radius handed to the drawing access must be finite.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/input.h"
#include "host/test_scene.h"
#include "host/host.h"

namespace {

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "hostile host: %s\n", what.c_str());
    std::abort();
}

host::Host& the_host() {
    static host::Host* h = [] {
        auto* hh = new host::Host();
        std::string error;
        if (!hh->load(TAVERIN_MODULE_PATH, error, true)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::exit(1);
        }
        hh->record.enabled = false;
        return hh;
    }();
    return *h;
}

void check_records(const host::Host& h) {
    for (const std::string& c : h.record.commands) {
        if (c.size() >= 256) fail("command longer than its buffer: " + c.substr(0, 64));
        std::string lower;
        for (char ch : c) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (lower.find("nan") != std::string::npos || lower.find("inf") != std::string::npos)
            fail("non-finite number in command \"" + c + "\"");
    }
    for (const host::DrawCall& d : h.record.draws)
        if (d.kind != host::DrawKind::Color && !std::isfinite(d.radius)) fail("non-finite radius drawn");
}

double odd_double(FuzzInput& in) {
    switch (in.byte() % 6) {
        case 0: return in.d();  // any bit pattern
        case 1: return NAN;
        case 2: return in.byte() % 2 ? INFINITY : -INFINITY;
        case 3: return 1e300;
        case 4: return 0.0;
        default: return static_cast<double>(in.byte()) / 7.0;
    }
}

int32_t odd_int(FuzzInput& in) {
    switch (in.byte() % 5) {
        case 0: return in.i32();
        case 1: return INT32_MIN;
        case 2: return INT32_MAX;
        case 3: return -1;
        default: return in.byte();
    }
}

void build_scene(host::Host& h, FuzzInput& in) {
    const uint8_t kind = in.byte();
    host::build_test_scene(h.scene, kind & 1);
    if (kind & 2) h.scene.objects.clear();
    if (kind & 4) {
        const size_t n = 200 + 10 * static_cast<size_t>(in.byte());
        for (size_t i = 0; i < n; ++i)
            h.scene.objects.push_back(host::make_sphere("s", {double(i % 7), 0, 3.0 + double(i)}, 0.5));
    }
    if (kind & 8) {
        auto& c = h.scene.camera;
        c.film_width = odd_double(in);
        c.film_height = odd_double(in);
        c.focal_length = odd_double(in);
        c.f_stop = odd_double(in);
        c.focal_distance = odd_double(in);
        c.position = {odd_double(in), odd_double(in), odd_double(in)};
    }
    if (kind & 16) h.scene.time = odd_double(in);
    h.scene.camera.flags = static_cast<uint32_t>(in.byte());
    // How this host departs from the module's requests: controls placed elsewhere, callbacks
    // fired when the module sets a value, rays normalised or taken as given.
    const uint8_t ways = in.byte();
    h.options.placement_shift.clear();
    if (ways & 1)
        for (int n = in.byte() % 6; n > 0; --n)
            h.options.placement_shift[in.byte() % 18] = {static_cast<int32_t>(in.byte()) - 128, odd_int(in)};
    h.options.fire_on_module_set = (ways & 2) != 0;
    h.options.normalize_ray_direction = (ways & 4) != 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    host::Host& h = the_host();
    FuzzInput in(data, size);
    h.hostility.chaos = nullptr;
    build_scene(h, in);
    h.hostility.chaos = [&in]() { return in.byte(); };
    bool active = false;
    for (int op = 0; op < 48 && !in.empty(); ++op) {
        h.record.clear();
        switch (in.byte() % 16) {
            case 0:
                if (active) h.release();
                active = h.activate() == 0;
                break;
            case 1:
                if (active) h.release();
                active = false;
                break;
            case 2:
                if (active) h.draw();
                break;
            case 3:
                if (active) h.mouse_down(odd_int(in), {odd_double(in), odd_double(in), odd_double(in)}, odd_int(in));
                break;
            case 4:
                if (active) h.mouse_move(odd_int(in), odd_int(in));
                break;
            case 5:
                if (active) h.mouse_up();
                break;
            case 6:
                if (active) h.callbacks().event(h.instance(), odd_int(in));
                break;
            case 7:
                if (active) {
                    taverin::ToolEvent e{};
                    double pos[3] = {0, 0, 0};
                    auto& f = h.callbacks();
                    (void)f.help(h.instance(), &e);
                    (void)f.dirty(h.instance());
                    (void)f.count(h.instance(), &e);
                    (void)f.handle(h.instance(), &e, odd_int(in), pos);
                    (void)f.start(h.instance(), &e);
                    (void)f.adjust(h.instance(), &e, odd_int(in));
                }
                break;
            case 8:
                if (in.byte() % 2) h.open_panel();
                else h.close_panel();
                break;
            case 9: h.user_choose(h.control(in.byte() % 20), odd_int(in)); break;
            case 10: h.user_type(h.control(in.byte() % 20), odd_double(in)); break;
            case 11: h.user_drag(h.control(in.byte() % 20), odd_int(in)); break;
            case 12: h.user_select_item(h.control(17), odd_int(in)); break;
            case 13: h.user_press(h.control(in.byte() % 20)); break;
            case 14: h.scene.time = odd_double(in); break;
            default: h.scene.camera.focal_distance = odd_double(in); break;
        }
        check_records(h);
    }
    h.hostility.chaos = nullptr;
    if (active) h.release();
    h.record.clear();
    h.panels.clear();
    return 0;
}
