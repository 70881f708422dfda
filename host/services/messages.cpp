// "Info Messages 3" and "Instance Update": what the module tells the user and the host.
#include "host/service_call.h"
#include "host/services/services.h"

namespace host {

using namespace taverin;

namespace {

void info(const char* a, const char* b) {
    ServiceCall call;
    if (!call || !call.recording()) return;
    call.log("messages.info(%s, %s)", quoted(a).c_str(), quoted(b).c_str());
    call.record().messages.push_back({"info", a ? a : "", b ? b : "", true});
}

int32_t ok_cancel(const char* title, const char* a, const char* b) {
    ServiceCall call;
    if (!call) return 0;
    call.log("messages.ok_cancel(%s, %s, %s)", quoted(title).c_str(), quoted(a).c_str(), quoted(b).c_str());
    call.record().messages.push_back({"ok_cancel", title ? title : "", a ? a : "", b == nullptr});
    return 1;
}

int32_t instance_update(const char* cls, void* inst) {
    ServiceCall call;
    if (!call) return 0;
    call.log("instance_update(%s)", quoted(cls).c_str());
    call.record().instance_updates.emplace_back(cls ? cls : "", inst);
    return 1;
}

}  // namespace

void fill_message_services(ServiceRecords& r) { r.messages = MessagesService{info, nullptr, nullptr, ok_cancel}; }

taverin::InstanceUpdateService::Function instance_update_function() { return instance_update; }

}  // namespace host
