// How a stand-in host behaves: which services it offers, what it refuses, and where it
// departs from the module's requests the way a real host may. Tests and the hostile-host
// fuzzer set these; the program uses the defaults.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "plugin/host_abi.h"

namespace host {

// Pixels the host adds to every x and y the module asks for.
struct Shift {
    int32_t dx = 0, dy = 0;
};

struct HostOptions {
    // Services the global lookup answers null for, by name.
    std::set<std::string> missing_services;
    // The spatial query service refuses to create a query; the panel services refuse a panel.
    bool spatial_create_fails = false;
    bool panel_create_fails = false;
    // The panel services refuse the control asked for at this place in a panel's creation order
    // (refusals counted), as a host out of room may.
    size_t refused_control = SIZE_MAX;
    // Controls placed away from where the module asks, keyed by creation order on the panel.
    std::map<size_t, Shift> placement_shift;
    // The intersect normalises the direction it is given before measuring the distance. By
    // default it takes the direction exactly as the module passes it and measures the hit
    // distance in units of that direction's length, so a module that scales the ray is seen.
    bool normalize_ray_direction = false;
    // The host fires a control's event callback whenever the module sets that control's value
    // (as a real host may), not only when the user edits it.
    bool fire_on_module_set = false;
    // Replaces the real intersection when set (tests): returns the intersect result and may
    // fill the hit record.
    std::function<int32_t(taverin::ItemId, const double* origin, const double* direction,
                          taverin::HitRecord*)>
        intersect_override;
};

}  // namespace host
