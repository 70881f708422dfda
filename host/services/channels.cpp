// "Channel Info 2" and "Animation Envelopes 2": the camera's channels (its channel group is
// the camera itself) and the envelopes and keys behind them.
#include "host/service_call.h"
#include "host/services/services.h"

namespace host {

using namespace taverin;

namespace {

Channel* channel_behind(ChannelId ch) { return object_behind<Channel>(ch); }
Envelope* envelope_behind(EnvelopeId env) { return object_behind<Envelope>(env); }

// ---------------------------------------------------------------- Channel Info 2
ChannelId next_channel(ChanGroupId group, ChannelId prev) {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("channel.next(%s)", prev ? "channel" : "null");
    Camera& cam = call.scene().camera;
    if (object_behind<Camera>(group) != &cam || call.hostility().strikes()) return nullptr;
    auto& chans = cam.channels;
    if (chans.empty()) return nullptr;
    if (!prev) return handle_of<ChannelId>(&chans[0]);
    for (size_t i = 0; i + 1 < chans.size(); ++i)
        if (&chans[i] == channel_behind(prev)) return handle_of<ChannelId>(&chans[i + 1]);
    return nullptr;
}

const char* channel_name(ChannelId ch) {
    ServiceCall call;
    if (!call) return nullptr;
    const char* n = ch ? channel_behind(ch)->name.c_str() : nullptr;
    if (call.hostility().strikes()) {
        static const char* const odd[] = {nullptr, "", "FocalDistanceFocalDistanceFocalDistanceFocal", "Focal",
                                          "FocalDistanc"};
        n = odd[call.hostility().pick() % 5];
    }
    call.log("channel.name() -> %s", quoted(n).c_str());
    return n;
}

EnvelopeId channel_envelope(ChannelId ch) {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("channel.envelope(%s)", ch ? channel_behind(ch)->name.c_str() : "null");
    return call.hostility().null_or(handle_of<EnvelopeId>(ch ? channel_behind(ch)->envelope.get() : nullptr));
}

// ---------------------------------------------------------------- Animation Envelopes 2
KeyId create_key(EnvelopeId env, double time, double value) {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("envelope.create_key(%g, %.17g)", time, value);
    if (!env) return nullptr;
    call.record().key_writes.push_back({true, time, value});
    return handle_of<KeyId>(envelope_behind(env)->create(time, value));
}

KeyId find_key(EnvelopeId env, double time) {
    ServiceCall call;
    if (!call) return nullptr;
    call.log("envelope.find_key(%g)", time);
    return call.hostility().null_or(env ? handle_of<KeyId>(envelope_behind(env)->find(time)) : nullptr);
}

int32_t key_set(EnvelopeId, KeyId key, int32_t attr, void* value) {
    ServiceCall call;
    if (!call) return 0;
    const double v = value ? *static_cast<double*>(value) : 0.0;
    call.log("envelope.key_set(%d, %.17g)", attr, v);
    if (!key || !value || attr != kKeyValue) return 0;
    Key* k = object_behind<Key>(key);
    k->value = v;
    call.record().key_writes.push_back({false, k->time, v});
    return 1;
}

}  // namespace

void fill_channel_services(ServiceRecords& r) {
    r.channels = ChannelInfoService{nullptr, next_channel, nullptr, channel_name, {}, channel_envelope};
    r.envelopes = EnvelopeService{{}, create_key, nullptr, find_key, nullptr, nullptr, key_set};
}

}  // namespace host
