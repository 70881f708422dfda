// What every service function does on entry, written once: find the current host (with none,
// the call is answered with nothing), count the time spent as the host's own for the
// allocation probe, record the call, and give hostile answers where the fuzzer asks for them.
#pragma once

#include <cstdint>
#include <string>

#include "host/host.h"

namespace host {

class ServiceCall {
public:
    ServiceCall() : host_(Host::current()) {
        if (host_) ++host_->service_depth_;
    }
    ~ServiceCall() {
        if (host_) --host_->service_depth_;
    }
    ServiceCall(const ServiceCall&) = delete;
    ServiceCall& operator=(const ServiceCall&) = delete;

    explicit operator bool() const { return host_ != nullptr; }
    Host& host() const { return *host_; }
    Scene& scene() const { return host_->scene; }
    Recorder& record() const { return host_->record; }
    const Hostility& hostility() const { return host_->hostility; }
    bool recording() const { return host_->record.enabled; }

    // Records one line, printf-style, when recording is on.
    void log(const char* format, ...) const __attribute__((format(printf, 2, 3)));

private:
    Host* host_;
};

// The host objects behind the module's opaque handles.
template <typename Handle, typename T>
Handle handle_of(T* object) {
    return reinterpret_cast<Handle>(object);
}
template <typename T, typename Handle>
T* object_behind(Handle handle) {
    return reinterpret_cast<T*>(handle);
}

// A text argument as the log shows it: quoted, or null.
std::string quoted(const char* s);
// An item handle as the log shows it.
std::string item_text(taverin::ItemId item);

}  // namespace host
