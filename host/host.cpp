// The Host object: its service records, the one process-wide pointer to it, and the helpers
// every service function shares.
#include "host/host.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "host/service_call.h"
#include "host/services/services.h"

namespace host {

namespace {
Host* g_current = nullptr;
}  // namespace

Host* Host::current() { return g_current; }

Host::Host() {
    if (g_current) {
        std::fprintf(stderr, "stand-in host: only one Host may exist at a time\n");
        std::abort();
    }
    g_current = this;
    fill_message_services(records_);
    fill_panel_services(records_);
    fill_item_services(records_);
    fill_channel_services(records_);
    fill_spatial_services(records_);
}

Host::~Host() {
    if (local_.instance && callbacks_.release) release();
    module_.reset();
    g_current = nullptr;
}

taverin::GlobalFunc Host::global_function() { return global_lookup; }

Control* Host::control_of(taverin::ControlRecord* rec) {
    return rec ? static_cast<Control*>(rec->host_data) : nullptr;
}

void ServiceCall::log(const char* format, ...) const {
    if (!host_ || !host_->record.enabled) return;
    char buf[512];
    va_list ap;
    va_start(ap, format);
    std::vsnprintf(buf, sizeof buf, format, ap);
    va_end(ap);
    host_->record.calls.emplace_back(buf);
}

std::string quoted(const char* s) { return s ? std::string("\"") + s + "\"" : std::string("null"); }

std::string item_text(taverin::ItemId item) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%#llx", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(item)));
    return buf;
}

}  // namespace host
