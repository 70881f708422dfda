// A scene's objects and viewports found by name in constant time, so that reading a session
// of any length against a scene of any size stays linear in the two.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "host/scene.h"

namespace host {

class SceneNames {
public:
    explicit SceneNames(const Scene& scene);
    // The index of the viewport or object named `name`, or -1.
    int viewport(const std::string& name) const;
    int object(const std::string& name) const;

private:
    std::unordered_map<std::string, int> viewports_, objects_;
};

// The index of the first entry of `list` whose name an earlier entry has, or -1.
template <typename T>
int first_repeated_name(const std::vector<T>& list) {
    std::unordered_map<std::string, int> seen;
    for (size_t i = 0; i < list.size(); ++i)
        if (!seen.emplace(list[i].name, static_cast<int>(i)).second) return static_cast<int>(i);
    return -1;
}

}  // namespace host
