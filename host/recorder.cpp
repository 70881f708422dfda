#include "host/recorder.h"

namespace host {

void Recorder::clear() {
    calls.clear();
    commands.clear();
    command_errors.clear();
    messages.clear();
    draws.clear();
    instance_updates.clear();
    key_writes.clear();
    lookups.clear();
    queries_created = queries_released = intersect_calls = 0;
}

std::vector<double> Recorder::radii(DrawKind kind) const {
    std::vector<double> r;
    for (const auto& d : draws)
        if (d.kind == kind) r.push_back(d.radius);
    return r;
}

}  // namespace host
