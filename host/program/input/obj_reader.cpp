#include "host/program/input/obj_reader.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <string_view>

#include "host/program/input/source.h"
#include "host/program/input/triangulate.h"
#include "host/program/limits.h"
#include "host/program/text/format.h"

namespace host {

namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

// The next blank-separated word of `line` from `pos`, or an empty view at the end.
std::string_view word(std::string_view line, size_t& pos) {
    while (pos < line.size() && blank(line[pos])) ++pos;
    const size_t start = pos;
    while (pos < line.size() && !blank(line[pos])) ++pos;
    return line.substr(start, pos - start);
}

bool to_double(std::string_view w, double& out) {
    if (w.empty()) return false;
    if (w.front() == '+') w.remove_prefix(1);  // allowed in OBJ files, not by from_chars
    const auto r = std::from_chars(w.data(), w.data() + w.size(), out);
    return r.ec == std::errc{} && r.ptr == w.data() + w.size() && std::isfinite(out);
}

// A face corner's vertex number ("i", "i/t", "i//n", "i/t/n"), resolved against `count`
// vertices read so far: the index from 0, or a message.
bool corner_index(std::string_view w, size_t count, size_t& index, std::string& why) {
    const std::string_view v = w.substr(0, w.find('/'));
    long long n = 0;
    const auto r = std::from_chars(v.data(), v.data() + v.size(), n);
    if (v.empty() || r.ec != std::errc{} || r.ptr != v.data() + v.size() || n == 0) {
        why = "\"" + std::string(w.substr(0, 32)) + "\" is not a vertex number";
        return false;
    }
    const long long resolved = n > 0 ? n - 1 : static_cast<long long>(count) + n;
    if (resolved < 0 || static_cast<unsigned long long>(resolved) >= count) {
        why = "refers to vertex " + std::to_string(n) + " but " + std::to_string(count) + " vertices come before it";
        return false;
    }
    index = static_cast<size_t>(resolved);
    return true;
}

class ObjParser {
public:
    ObjParser(const std::string& name, double scale, Vec3 offset) : name_(name), scale_(scale), offset_(offset) {}

    bool line(std::string_view text, size_t number, std::vector<Triangle>& out, std::string& error) {
        size_t pos = 0;
        const std::string_view keyword = word(text, pos);
        if (keyword == "v") return vertex(text, pos, number, error);
        if (keyword == "f") return face(text, pos, number, out, error);
        return true;  // everything else is of no use here
    }
    size_t faces() const { return faces_; }
    void reserve(size_t vertices) { vertices_.reserve(vertices); }

private:
    bool fail(size_t number, const std::string& what, std::string& error) const {
        error = one_line(name_ + ":" + std::to_string(number) + ": " + what);
        return false;
    }

    bool vertex(std::string_view text, size_t pos, size_t number, std::string& error) {
        double c[3];
        for (double& x : c)
            if (!to_double(word(text, pos), x)) return fail(number, "a vertex needs three finite numbers", error);
        const Vec3 p{c[0] * scale_ + offset_.x, c[1] * scale_ + offset_.y, c[2] * scale_ + offset_.z};
        if (!(std::fabs(p.x) <= kMaxCoordinate && std::fabs(p.y) <= kMaxCoordinate && std::fabs(p.z) <= kMaxCoordinate))
            return fail(number, "the vertex lies beyond the scene's extent (1e9 m from the origin)", error);
        vertices_.push_back(p);
        return true;
    }

    bool face(std::string_view text, size_t pos, size_t number, std::vector<Triangle>& out, std::string& error) {
        ++faces_;
        corners_.clear();
        std::string why;
        for (std::string_view w = word(text, pos); !w.empty(); w = word(text, pos)) {
            size_t index = 0;
            if (!corner_index(w, vertices_.size(), index, why)) return fail(number, "face " + std::to_string(faces_) + " " + why, error);
            corners_.push_back(vertices_[index]);
        }
        if (corners_.size() < 3)
            return fail(number, "face " + std::to_string(faces_) + " has " + std::to_string(corners_.size()) +
                                    " corners; a face needs at least 3", error);
        if (!triangulate(corners_, out))
            return fail(number, "face " + std::to_string(faces_) + " is a concave polygon of " + std::to_string(corners_.size()) +
                                    " corners; concave polygons of more than " + std::to_string(kMaxConcaveCorners) +
                                    " corners are not read", error);
        return true;
    }

    const std::string& name_;
    double scale_;
    Vec3 offset_;
    std::vector<Vec3> vertices_;
    std::vector<Vec3> corners_;
    size_t faces_ = 0;
};

}  // namespace

bool read_obj_text(const std::string& text, const std::string& name, double scale, Vec3 offset,
                   std::vector<Triangle>& out, std::string& error, const Progress* progress) {
    ObjParser parser(name, scale, offset);
    std::vector<Triangle> tris;
    // One allocation for the usual case of triangles: growing a vector of a million triangles
    // would copy it and touch fresh memory again at every doubling.
    size_t faces = 0, vertices = 0;
    for (size_t b = 0; b + 1 < text.size();) {
        if (text[b + 1] == ' ') {
            faces += text[b] == 'f';
            vertices += text[b] == 'v';
        }
        const size_t nl = text.find('\n', b);
        if (nl == std::string::npos) break;
        b = nl + 1;
    }
    tris.reserve(faces);
    parser.reserve(vertices);
    size_t number = 0;
    size_t start = 0;
    const std::string_view all(text);
    while (start < all.size()) {
        size_t end = start;
        while (end < all.size() && all[end] != '\n' && all[end] != '\r') ++end;
        ++number;
        if (!parser.line(all.substr(start, end - start), number, tris, error)) return false;
        start = end + ((end + 1 < all.size() && all[end] == '\r' && all[end + 1] == '\n') ? 2 : 1);
        if (progress && (number & 0xFFFF) == 0) (*progress)("reading", static_cast<double>(start) / static_cast<double>(all.size()));
    }
    if (tris.empty()) {
        error = one_line(name + ": no faces (an OBJ mesh needs at least one \"f\" statement)");
        return false;
    }
    out = std::move(tris);
    return true;
}

bool read_obj(const std::string& path, double scale, Vec3 offset, std::vector<Triangle>& out, std::string& error,
              const Progress* progress) {
    Source source;
    if (!read_source(path, source, error)) return false;
    return read_obj_text(source.text, path, scale, offset, out, error, progress);
}

}  // namespace host
