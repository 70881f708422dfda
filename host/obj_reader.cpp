#include "host/obj_reader.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include <tiny_obj_loader.h>

#include "host/scene_json.h"

namespace host {

namespace {

// Calls f(begin, end) for each line of an OBJ text. Lines end at "\n", "\r\n" or a lone
// "\r", as the reader takes them.
template <typename F>
void for_each_line(const std::string& text, F f) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        f(start, end);
        if (end >= text.size()) break;
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
}

// The first non-blank character of the line [start, end) is `a` (and `b` after it, when
// given), followed by a blank.
bool statement_is(const std::string& text, size_t start, size_t end, char a, char b = 0) {
    const size_t i = text.find_first_not_of(" \t", start);
    if (i == std::string::npos || i >= end || text[i] != a) return false;
    size_t next = i + 1;
    if (b) {
        if (next >= end || text[next] != b) return false;
        ++next;
    }
    return next < end && (text[next] == ' ' || text[next] == '\t');
}

// The line of the n-th face statement (from 0) of an OBJ text, for messages.
size_t face_line(const std::string& text, size_t n) {
    size_t lineno = 0, faces = 0, found = 0;
    for_each_line(text, [&](size_t start, size_t end) {
        ++lineno;
        if (!found && statement_is(text, start, end, 'f')) {
            if (faces == n) found = lineno;
            ++faces;
        }
    });
    return found;
}

// Vertex-weight statements ("vw") are of no use here, and the reader converts their joint
// numbers to int without a range check: they are blanked out (line numbers kept) first.
void drop_vertex_weights(std::string& text) {
    for_each_line(text, [&](size_t start, size_t end) {
        if (statement_is(text, start, end, 'v', 'w'))
            std::fill(text.begin() + static_cast<std::ptrdiff_t>(start), text.begin() + static_cast<std::ptrdiff_t>(end), ' ');
    });
}

}  // namespace

bool read_obj(const std::string& path, double scale, Vec3 offset, std::vector<Triangle>& out,
              std::string& error) {
    std::string text;
    if (!read_file(path, text, error)) return false;
    drop_vertex_weights(text);
    tinyobj::ObjReaderConfig config;
    config.triangulate = true;
    config.vertex_color = false;
    tinyobj::ObjReader reader;
    // From memory, with no material text: the reader opens no other file.
    if (!reader.ParseFromString(text, "", config)) {
        std::string why = reader.Error();
        while (!why.empty() && (why.back() == '\n' || why.back() == '\r')) why.pop_back();
        const size_t nl = why.find('\n');
        if (nl != std::string::npos) why = why.substr(0, nl);
        error = path + ": not a readable OBJ mesh: " + (why.empty() ? "parse failed" : why);
        return false;
    }
    const auto& verts = reader.GetAttrib().vertices;
    const size_t nverts = verts.size() / 3;
    std::vector<Triangle> tris;
    size_t face = 0;
    for (const auto& shape : reader.GetShapes()) {
        size_t at = 0;
        for (size_t f = 0; f < shape.mesh.num_face_vertices.size(); ++f, ++face) {
            const size_t nv = shape.mesh.num_face_vertices[f];
            if (nv != 3) {
                error = path + ": face " + std::to_string(face + 1) + " (line " +
                        std::to_string(face_line(text, face)) + ") has " + std::to_string(nv) +
                        " corners after triangulation";
                return false;
            }
            Triangle t;
            for (size_t k = 0; k < 3; ++k) {
                const int idx = shape.mesh.indices[at + k].vertex_index;
                if (idx < 0 || static_cast<size_t>(idx) >= nverts) {
                    error = path + ": face " + std::to_string(face + 1) + " (line " +
                            std::to_string(face_line(text, face)) + ") refers to vertex " +
                            std::to_string(static_cast<long long>(idx) + 1) + " but the file has " +
                            std::to_string(nverts) + " vertices";
                    return false;
                }
                const size_t b = 3 * static_cast<size_t>(idx);
                const Vec3 p{verts[b] * scale + offset.x, verts[b + 1] * scale + offset.y,
                             verts[b + 2] * scale + offset.z};
                if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
                    error = path + ": vertex " + std::to_string(idx + 1) + " is not a finite point";
                    return false;
                }
                t.v[k] = p;
            }
            tris.push_back(t);
            at += nv;
        }
    }
    if (tris.empty()) {
        error = path + ": no faces";
        return false;
    }
    out = std::move(tris);
    return true;
}

}  // namespace host
