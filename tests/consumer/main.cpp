#include <geometry/matrix.h>
#include <geometry/quaternion.h>

int main() {
    geometry::Mat4d m, inv;
    geometry::set_identity(m);
    m.m[0] = 2.0;
    geometry::invert(m, inv);
    geometry::Quatf q;
    geometry::quat_normalize(geometry::Quatf{0, 0, 0, 2}, q);
    return (inv.m[0] == 0.5 && q.w == 1.0f) ? 0 : 1;
}
