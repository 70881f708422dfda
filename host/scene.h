// The stand-in host's scene: one render camera, objects a ray can hit, viewports and a clock.
//
// Coordinates follow the host's conventions: +Y up, a camera with no rotation looks along +Z,
// heading turns about Y (+Z toward +X), pitch about the turned X (+Z toward -Y), bank about
// the twice-turned Z. Distances are in metres, the focal length in millimetres.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

class Bvh;

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 operator*(Vec3 a, double s) { return {a.x * s, a.y * s, a.z * s}; }
double dot(Vec3 a, Vec3 b);
Vec3 cross(Vec3 a, Vec3 b);
double length(Vec3 a);
Vec3 normalized(Vec3 a);

struct Key {
    double time = 0;
    double value = 0;
};

// An envelope: keys sorted by time, linear between keys and constant outside them. Finding,
// creating and evaluating take time logarithmic in the number of keys.
struct Envelope {
    // Keys are held by pointer: the module holds them as handles, so they never move.
    std::vector<std::unique_ptr<Key>> keys;
    Envelope() = default;
    Envelope(const Envelope& other);  // copies the keys
    Envelope& operator=(const Envelope& other);
    Key* find(double time);
    Key* create(double time, double value);
    // Adds a key after every other (its time later than the last key's): a reader's keys,
    // sorted first.
    void append(double time, double value);
    bool evaluate(double time, double& value) const;  // false when there are no keys
};

struct Channel {
    std::string name;
    std::unique_ptr<Envelope> envelope;  // null: the channel has no envelope
    Channel(std::string n, std::unique_ptr<Envelope> e) : name(std::move(n)), envelope(std::move(e)) {}
    Channel(const Channel& other);  // copies the envelope
    Channel& operator=(const Channel& other);
    Channel(Channel&&) = default;
    Channel& operator=(Channel&&) = default;
};

inline constexpr uint32_t kCameraDofFlag = 8;

struct Camera {
    std::string name = "Camera";
    Vec3 position{0, 1, -5};
    double heading = 0, pitch = 0, bank = 0;  // radians
    double film_width = 0.036, film_height = 0.024;  // metres
    double focal_length = 50.0;  // millimetres
    double f_stop = 2.8;
    double focal_distance = 5.0;  // metres, when there is no focal-distance envelope
    uint32_t flags = 0;
    std::vector<Channel> channels;

    // Adds the usual motion channels and, with `focal_envelope`, a "FocalDistance" channel
    // with an (empty) envelope.
    void add_standard_channels(bool focal_envelope);
    Envelope* focal_envelope();
    const Envelope* focal_envelope() const;
    double focal_distance_at(double time) const;
    // Camera-to-world rotation applied to a direction, and its inverse.
    Vec3 to_world(Vec3 local) const;
    Vec3 to_local(Vec3 world) const;
};

struct Triangle {
    std::array<Vec3, 3> v;
};

struct Object {
    enum class Kind { Sphere, Box, Mesh };
    Kind kind = Kind::Sphere;
    std::string name;
    Vec3 center;             // sphere centre; box centre; mesh pivot
    double radius = 1.0;     // sphere
    Vec3 half_size{1, 1, 1};  // box, axis-aligned
    std::vector<Triangle> triangles;  // mesh, world coordinates
    std::string file;                 // mesh: the OBJ file it was read from
    std::shared_ptr<const Bvh> bvh;   // mesh: built by build_acceleration()

    // Builds the mesh's hierarchy (meshes only); intersect uses it from then on.
    void build_acceleration();

    // The smallest axis-aligned box that holds the object.
    void bounds(Vec3& lo, Vec3& hi) const;

    // The ray parameter t of the nearest surface point origin + t * direction with t >= 0, or a
    // negative value for a miss (a hit beyond the reach of a double is a miss). With a unit
    // direction t is the distance.
    double intersect(Vec3 origin, Vec3 direction) const;
};

struct Viewport {
    std::string name;
    int32_t type = 9;  // 9 looks through the camera
    int32_t width = 640, height = 480;
};

inline constexpr int32_t kViewTop = 1, kViewFront = 3, kViewPerspective = 5, kViewCamera = 9;

struct Scene {
    Camera camera;
    std::vector<Object> objects;
    std::vector<Viewport> viewports;
    double time = 0.0;

    // A camera view, a top view and a perspective view.
    void add_default_viewports();
    // The ray direction (unit) through pixel (px, py) of a camera viewport.
    Vec3 pixel_ray(const Viewport& vp, double px, double py) const;
};

Object make_sphere(const std::string& name, Vec3 center, double radius);
Object make_box(const std::string& name, Vec3 center, Vec3 half_size);
// A closed triangle mesh of a box, as a mesh object.
Object make_box_mesh(const std::string& name, Vec3 center, Vec3 half_size);

}  // namespace host
