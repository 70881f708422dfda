// What the stand-in host saw the module do: every service call as a line of text, and the
// commands, messages, drawing calls, envelope writes and notifications in structured form.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace host {

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

// An envelope key the module created or changed.
struct KeyWrite {
    bool created;  // false: an existing key's value was set
    double time;
    double value;
};

struct Recorder {
    // False: call lines and messages are not kept (benchmarks, fuzzing); the rest still is.
    bool enabled = true;

    // Every call the module made, one line each: "service.operation(arguments)".
    std::vector<std::string> calls;
    std::vector<std::string> commands;        // command texts received, in order
    std::vector<std::string> command_errors;  // one line per malformed or unknown command
    std::vector<Message> messages;
    std::vector<DrawCall> draws;
    std::vector<std::pair<std::string, void*>> instance_updates;
    std::vector<KeyWrite> key_writes;
    std::vector<std::string> lookups;  // service names asked for, in order
    int32_t queries_created = 0, queries_released = 0, intersect_calls = 0;

    void clear();
    // Radii of the drawn primitives of one kind, in drawing order.
    std::vector<double> radii(DrawKind kind) const;
};

}  // namespace host
