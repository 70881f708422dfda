#include "host/program/input/scene_names.h"

namespace host {

namespace {

// The first of two entries of one name wins, as a scan from the start would find it.
template <typename T>
void index(const std::vector<T>& list, std::unordered_map<std::string, int>& out) {
    out.reserve(list.size());
    for (size_t i = 0; i < list.size(); ++i) out.emplace(list[i].name, static_cast<int>(i));
}

int find(const std::unordered_map<std::string, int>& map, const std::string& name) {
    const auto it = map.find(name);
    return it == map.end() ? -1 : it->second;
}

}  // namespace

SceneNames::SceneNames(const Scene& scene) {
    index(scene.viewports, viewports_);
    index(scene.objects, objects_);
}

int SceneNames::viewport(const std::string& name) const { return find(viewports_, name); }
int SceneNames::object(const std::string& name) const { return find(objects_, name); }

}  // namespace host
