// Euler angles to a matrix as glm and Eigen do it, called the same way by the benchmark and by
// the by-hand variant benchmark: rotations about Z, then Y, then X, the library's default order.
#pragma once

#include <Eigen/Dense>
#include <glm/glm.hpp>
#include <glm/gtx/euler_angles.hpp>

#include <taverin/geometry/rotation.h>

inline glm::mat4 glm_euler(const geometry::Euler4f& e) { return glm::eulerAngleZYX(e.angle3, e.angle2, e.angle1); }

inline Eigen::Matrix3f eigen_euler(const geometry::Euler4f& e) {
    return (Eigen::AngleAxisf(e.angle3, Eigen::Vector3f::UnitZ()) * Eigen::AngleAxisf(e.angle2, Eigen::Vector3f::UnitY()) *
            Eigen::AngleAxisf(e.angle1, Eigen::Vector3f::UnitX()))
        .toRotationMatrix();
}
