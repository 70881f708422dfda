// The stand-in host: provides the fourteen services over a Scene, keeps real panels and
// controls, records every call the module makes, and drives a loaded module through its
// callback table exactly as the host application does.
//
//   options.h    how this host behaves (missing services, refusals, placements, rays)
//   hostile.h    the fuzzer's hook for hostile answers
//   recorder.h   what the module did
//   services/    the fourteen services, one file per family
//   driver.cpp   loading, activation and the user's actions
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/hostile.h"
#include "host/item_ids.h"
#include "host/loader.h"
#include "host/options.h"
#include "host/panel_model.h"
#include "host/recorder.h"
#include "host/scene.h"
#include "plugin/host_abi.h"

namespace host {

// The service records handed to the module. They belong to the host object, so every host
// starts from clean records (the time record, which the module reads directly, included).
struct ServiceRecords {
    taverin::MessagesService messages{};
    taverin::PanelServices panels{};
    taverin::ViewportInfoService viewports{};
    taverin::ItemInfoService items{};
    taverin::CameraInfoService camera{};
    taverin::TimeInfoService time{};
    taverin::SceneInfoService scene{};
    taverin::ChannelInfoService channels{};
    taverin::EnvelopeService envelopes{};
    taverin::SpatialQueryService spatial{};
    int product = 0, interface = 0;  // looked up by the module, never read
    int query_token = 0;              // what every query handle points at; never read
};

class Host {
public:
    Host();
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    // The host that answers the module's service calls. The services are plain C functions
    // that the module calls without any context, so they find their host here. This is the
    // stand-in host's one process-wide object, and the reason only one Host may exist at a
    // time (a second one aborts the program).
    static Host* current();

    Scene scene;
    HostOptions options;
    Hostility hostility;
    Recorder record;
    std::vector<std::unique_ptr<Panel>> panels;

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
    // Frees the panels the module has destroyed. The host keeps them (so that a call on a
    // destroyed panel is seen and answered safely) until told otherwise; call this only while
    // the module holds no handle into them, as right after an activation, which overwrites
    // every control handle. Long sessions use it to stay flat.
    void forget_destroyed_panels();
    Control* control(size_t index);  // a control of the current panel, by creation order
    void open_panel();
    void close_panel();
    // User edits: each changes the control's value and then calls its event callback. A user
    // can only edit an open panel: on a closed or destroyed one nothing happens and the edit
    // answers false.
    bool user_choose(Control* c, int32_t index);
    bool user_type(Control* c, double value);
    bool user_drag(Control* c, int32_t value);
    bool user_press(Control* c);
    bool user_select_item(Control* c, int32_t item_id);

    // --- for the service functions
    ServiceRecords& records() { return records_; }
    Control* control_of(taverin::ControlRecord* rec);
    // Calls a control's event callback, as the host does after the control's value changed.
    void fire(Control* c);
    // True while a service function of this host is running (the allocation probe's test).
    bool in_service() const { return service_depth_ > 0; }

private:
    friend class ServiceCall;
    // Brings the records the module reads directly up to date before the module runs.
    void sync_time();

    ServiceRecords records_;
    std::unique_ptr<LoadedModule> module_;
    taverin::ToolLocal local_{};
    taverin::ToolCallbacks callbacks_{};
    int service_depth_ = 0;
};

}  // namespace host
