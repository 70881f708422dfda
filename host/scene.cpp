#include "host/scene.h"

#include "host/bvh.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace host {

double dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double length(Vec3 a) { return std::sqrt(dot(a, a)); }
Vec3 normalized(Vec3 a) {
    const double n = length(a);
    return n > 0 ? a * (1.0 / n) : a;
}

Envelope::Envelope(const Envelope& other) {
    for (const auto& k : other.keys) keys.push_back(std::make_unique<Key>(*k));
}

Envelope& Envelope::operator=(const Envelope& other) {
    if (this != &other) {
        Envelope copy(other);
        keys = std::move(copy.keys);
    }
    return *this;
}

Channel::Channel(const Channel& other)
    : name(other.name), envelope(other.envelope ? std::make_unique<Envelope>(*other.envelope) : nullptr) {}

Channel& Channel::operator=(const Channel& other) {
    if (this != &other) {
        Channel copy(other);
        *this = std::move(copy);
    }
    return *this;
}

namespace {

// The first key later than `time`.
template <typename Keys>
auto first_after(Keys& keys, double time) {
    return std::upper_bound(keys.begin(), keys.end(), time, [](double t, const auto& k) { return t < k->time; });
}

}  // namespace

Key* Envelope::find(double time) {
    const auto it = first_after(keys, time);
    return it != keys.begin() && (*(it - 1))->time == time ? (it - 1)->get() : nullptr;
}

Key* Envelope::create(double time, double value) {
    auto key = std::make_unique<Key>(Key{time, value});
    Key* raw = key.get();
    keys.insert(first_after(keys, time), std::move(key));
    return raw;
}

void Envelope::append(double time, double value) { keys.push_back(std::make_unique<Key>(Key{time, value})); }

bool Envelope::evaluate(double time, double& value) const {
    if (keys.empty()) return false;
    const auto it = first_after(keys, time);
    if (it == keys.begin()) {
        value = keys.front()->value;
        return true;
    }
    const Key& a = **(it - 1);
    if (it == keys.end() || a.time == time) {
        value = a.value;
        return true;
    }
    const Key& b = **it;
    const double span = b.time - a.time;
    value = a.value + (b.value - a.value) * (time - a.time) / span;
    return true;
}

void Camera::add_standard_channels(bool with_focal_envelope) {
    for (const char* n : {"Position.X", "Position.Y", "Position.Z", "Rotation.H", "Rotation.P",
                          "Rotation.B"})
        channels.push_back(Channel{n, std::make_unique<Envelope>()});
    if (with_focal_envelope) channels.push_back(Channel{"FocalDistance", std::make_unique<Envelope>()});
}

Envelope* Camera::focal_envelope() {
    for (auto& c : channels)
        if (c.name == "FocalDistance" && c.envelope) return c.envelope.get();
    return nullptr;
}

const Envelope* Camera::focal_envelope() const {
    for (const auto& c : channels)
        if (c.name == "FocalDistance" && c.envelope) return c.envelope.get();
    return nullptr;
}

double Camera::focal_distance_at(double time) const {
    for (auto& c : channels) {
        double v = 0;
        if (c.name == "FocalDistance" && c.envelope && c.envelope->evaluate(time, v)) return v;
    }
    return focal_distance;
}

Vec3 Camera::to_world(Vec3 d) const {
    // Bank about Z, then pitch about X, then heading about Y.
    const double cb = std::cos(bank), sb = std::sin(bank);
    Vec3 a{d.x * cb - d.y * sb, d.x * sb + d.y * cb, d.z};
    const double cp = std::cos(pitch), sp = std::sin(pitch);
    Vec3 b{a.x, a.y * cp - a.z * sp, a.y * sp + a.z * cp};
    const double ch = std::cos(heading), sh = std::sin(heading);
    return {b.x * ch + b.z * sh, b.y, -b.x * sh + b.z * ch};
}

Vec3 Camera::to_local(Vec3 d) const {
    // Heading, then pitch, then bank undone.
    const double ch = std::cos(heading), sh = std::sin(heading);
    const Vec3 a{d.x * ch - d.z * sh, d.y, d.x * sh + d.z * ch};
    const double cp = std::cos(pitch), sp = std::sin(pitch);
    const Vec3 b{a.x, a.y * cp + a.z * sp, -a.y * sp + a.z * cp};
    const double cb = std::cos(bank), sb = std::sin(bank);
    return {b.x * cb + b.y * sb, -b.x * sb + b.y * cb, b.z};
}

namespace {

// The direction need not be of unit length: distances are in units of its length.
double hit_sphere(Vec3 c, double r, Vec3 o, Vec3 d) {
    const Vec3 oc = o - c;
    const double a = dot(d, d);
    const double b = dot(oc, d);
    const double cc = dot(oc, oc) - r * r;
    const double disc = b * b - a * cc;
    if (disc < 0) return -1;
    const double s = std::sqrt(disc);
    const double t0 = (-b - s) / a, t1 = (-b + s) / a;
    if (t0 >= 0) return t0;
    if (t1 >= 0) return t1;
    return -1;
}

double hit_box(Vec3 lo, Vec3 hi, Vec3 o, Vec3 d) {
    double tmin = -std::numeric_limits<double>::infinity();
    double tmax = std::numeric_limits<double>::infinity();
    const double os[3] = {o.x, o.y, o.z}, ds[3] = {d.x, d.y, d.z};
    const double los[3] = {lo.x, lo.y, lo.z}, his[3] = {hi.x, hi.y, hi.z};
    for (int i = 0; i < 3; ++i) {
        if (ds[i] == 0) {
            if (os[i] < los[i] || os[i] > his[i]) return -1;
            continue;
        }
        double t1 = (los[i] - os[i]) / ds[i], t2 = (his[i] - os[i]) / ds[i];
        if (t1 > t2) std::swap(t1, t2);
        tmin = std::max(tmin, t1);
        tmax = std::min(tmax, t2);
        if (tmin > tmax) return -1;
    }
    if (tmin >= 0) return tmin;
    if (tmax >= 0) return tmax;
    return -1;
}

}  // namespace

namespace {

double hit_object(const Object& ob, Vec3 o, Vec3 d) {
    switch (ob.kind) {
        case Object::Kind::Sphere: return hit_sphere(ob.center, ob.radius, o, d);
        case Object::Kind::Box: return hit_box(ob.center - ob.half_size, ob.center + ob.half_size, o, d);
        case Object::Kind::Mesh: {
            if (ob.bvh) return ob.bvh->intersect(ob.triangles, o, d);
            double best = -1;
            for (const auto& t : ob.triangles) {
                const double h = hit_triangle(t, o, d);
                if (h >= 0 && (best < 0 || h < best)) best = h;
            }
            return best;
        }
    }
    return -1;
}

}  // namespace

double Object::intersect(Vec3 o, Vec3 d) const {
    const double t = hit_object(*this, o, d);
    return t >= 0 && t < std::numeric_limits<double>::infinity() ? t : -1;
}

void Scene::add_default_viewports() {
    viewports.push_back({"Camera View", kViewCamera, 640, 480});
    viewports.push_back({"Top", kViewTop, 640, 480});
    viewports.push_back({"Perspective", kViewPerspective, 640, 480});
}

Vec3 Scene::pixel_ray(const Viewport& vp, double px, double py) const {
    // The film spans the viewport's width; the image plane sits at the focal length.
    const double film_w = camera.film_width * 1000.0;  // mm
    const double half_w = film_w / 2.0;
    const double aspect = vp.width > 0 ? static_cast<double>(vp.height) / vp.width : 1.0;
    const double sx = (px + 0.5) / vp.width * 2.0 - 1.0;
    const double sy = 1.0 - (py + 0.5) / vp.height * 2.0;
    const Vec3 local{sx * half_w, sy * half_w * aspect, camera.focal_length};
    return normalized(camera.to_world(local));
}

void Object::bounds(Vec3& lo, Vec3& hi) const {
    switch (kind) {
        case Kind::Sphere:
            lo = center - Vec3{radius, radius, radius};
            hi = center + Vec3{radius, radius, radius};
            return;
        case Kind::Box:
            lo = center - half_size;
            hi = center + half_size;
            return;
        case Kind::Mesh:
            lo = {INFINITY, INFINITY, INFINITY};
            hi = {-INFINITY, -INFINITY, -INFINITY};
            for (const Triangle& t : triangles)
                for (const Vec3& v : t.v) {
                    lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
                    hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
                }
            return;
    }
}

void Object::build_acceleration() {
    if (kind == Kind::Mesh) bvh = std::make_shared<Bvh>(triangles);
}

Object make_sphere(const std::string& name, Vec3 center, double radius) {
    Object o;
    o.kind = Object::Kind::Sphere;
    o.name = name;
    o.center = center;
    o.radius = radius;
    return o;
}

Object make_box(const std::string& name, Vec3 center, Vec3 half_size) {
    Object o;
    o.kind = Object::Kind::Box;
    o.name = name;
    o.center = center;
    o.half_size = half_size;
    return o;
}

Object make_box_mesh(const std::string& name, Vec3 c, Vec3 h) {
    Object o;
    o.kind = Object::Kind::Mesh;
    o.name = name;
    o.center = c;
    Vec3 p[8];
    for (int i = 0; i < 8; ++i)
        p[i] = {c.x + ((i & 1) ? h.x : -h.x), c.y + ((i & 2) ? h.y : -h.y), c.z + ((i & 4) ? h.z : -h.z)};
    const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                             {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (auto& f : faces) {
        o.triangles.push_back({{p[f[0]], p[f[1]], p[f[2]]}});
        o.triangles.push_back({{p[f[0]], p[f[2]], p[f[3]]}});
    }
    return o;
}

}  // namespace host
