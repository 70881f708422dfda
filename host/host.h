// The stand-in host: provides the fourteen services over a Scene, keeps real panels and
// controls, records every call the module makes, and drives a loaded module through its
// callback table exactly as the host application does.
//
// Only one Host may exist at a time: the services are plain C functions, and they reach the
// host through a process-wide pointer.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/loader.h"
#include "host/scene.h"
#include "plugin/host_abi.h"

namespace host {

struct Panel;

struct Control {
    taverin::ControlRecord record{};  // what the module holds; record.host_data points here
    Panel* panel = nullptr;
    std::string type_name;
    std::string label;
    taverin::ControlDesc desc{};  // the descriptor as it was at creation
    std::vector<std::string> items;  // choice items or text lines copied from the descriptor
    int32_t x = 0, y = 0, w = 0, h = 0;
    int32_t int_value = 0;
    double float_value = 0.0;
    void* user_data = nullptr;
    taverin::ControlCallback callback = nullptr;
    int32_t y_bias = 0;  // added to every y the module sets (a host that places lower)
};

struct Panel {
    std::string title;
    int32_t width = 0, height = 0;
    bool open = false;
    bool destroyed = false;
    int32_t next_y = 8;
    std::vector<std::unique_ptr<Control>> controls;
};

enum class DrawKind { Color, Circle, Disc };

struct DrawCall {
    DrawKind kind;
    float rgba[4];
    double center[3];
    double radius;
    int32_t csys;
};

struct Message {
    std::string kind;  // "info" or "ok_cancel"
    std::string text1, text2;
    bool third_null = true;
};

struct Options {
    std::set<std::string> missing_services;  // the global lookup answers null for these
    bool spatial_create_fails = false;
    bool panel_create_fails = false;
    bool log_calls = true;  // false: services answer without recording (benchmarks)
    // Replaces the real intersection when set: returns the intersect result and may fill hit.
    std::function<int32_t(taverin::ItemId, const double* origin, const double* direction,
                               taverin::HitRecord*)>
        intersect_override;
    std::map<std::string, int32_t> y_bias_by_label;  // keyed by control label
    // A hostile host: when set, every answer the services give may be replaced by a hostile
    // one (null handles, zero, negative, NaN, infinite or huge values, odd codes), each choice
    // taken from the next value this returns. Lists still end.
    std::function<uint8_t()> chaos;
    // When 0 or 1: every intersect answers this at once, with distance `fixed_distance`.
    int32_t fixed_intersect = -2;
    double fixed_distance = 1.0;
};

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    Scene scene;
    Options options;

    // Every call the module made, one line each: "service.operation(arguments)".
    std::vector<std::string> calls;
    std::vector<std::string> commands;        // command texts received, in order
    std::vector<std::string> command_errors;  // one line per malformed or unknown command
    std::vector<Message> messages;
    std::vector<DrawCall> draws;
    std::vector<std::pair<std::string, void*>> instance_updates;
    std::vector<std::unique_ptr<Panel>> panels;
    std::vector<std::string> lookups;  // service names asked for, in order
    int32_t queries_created = 0, queries_released = 0, intersect_calls = 0;

    // --- loading and activation
    // Loads the module (a private copy when `fresh`), runs its startup. False with `error` set.
    bool load(const std::string& path, std::string& error, bool fresh = true);
    LoadedModule* module() { return module_.get(); }
    // Activates the loaded server; returns the activation result.
    int32_t activate();
    // Releases the active instance through the release callback.
    void release();
    void* instance() const { return local_.instance; }
    taverin::ToolCallbacks& callbacks() { return callbacks_; }
    taverin::ToolLocal& local() { return local_; }
    static taverin::GlobalFunc global_function();

    // --- tool callbacks, called as the host application calls them
    void draw();
    int32_t mouse_down(int32_t viewport, Vec3 direction, int32_t flags = 0);
    void mouse_move(int32_t dx, int32_t flags = 0);
    void mouse_up();
    int32_t dirty();
    const char* help();
    // A click at pixel (px, py) of viewport `vp`, with the ray through the camera's projection.
    int32_t click(int32_t vp, double px, double py, int32_t flags = 0);

    // --- panel
    Panel* panel();  // the most recently created panel, or null
    Control* control(size_t index);  // a control of the current panel, by creation order
    void open_panel();
    void close_panel();
    // User edits: each changes the control's value and then calls its event callback.
    void user_choose(Control* c, int32_t index);
    void user_type(Control* c, double value);
    void user_drag(Control* c, int32_t value);
    void user_press(Control* c);
    void user_select_item(Control* c, int32_t item_id);

    // --- scene items
    static taverin::ItemId object_id(size_t index);
    static taverin::ItemId camera_id();
    static int32_t item_number(taverin::ItemId id);
    const Object* object_of(taverin::ItemId id) const;

    // --- derived views of the recording
    std::vector<double> radii(DrawKind kind) const;
    void clear_records();

    // Called by the service functions.
    void log(std::string line);
    Control* control_of(taverin::ControlRecord* rec);

private:
    std::unique_ptr<LoadedModule> module_;
    taverin::ToolLocal local_{};
    taverin::ToolCallbacks callbacks_{};
};

// Process-wide allocation probe: service functions run inside a HostScope, so an allocation
// hook can tell the module's own allocations from the host's.
int host_depth();
struct HostScope {
    HostScope();
    ~HostScope();
};

}  // namespace host
