// mtx44 routines: products, transforms, inversion and the builders.
#pragma once

#include "engine/kernel/math/mtx44.h"
#include "engine/kernel/math/vec3.h"
#include "engine/kernel/math/vec4.h"

namespace math {

mtx44 multiply(const mtx44& a, const mtx44& b);
vec3 transform_point(const mtx44& m, vec3 v); // (x, y, z, 1), no division by w
vec3 transform_vector(const mtx44& m, vec3 v); // upper-left 3x3
vec4 transform(const mtx44& m, vec4 v);
mtx44 transpose(const mtx44& m);
void invert(mtx44& m); // cofactors, no singular test
mtx44 make_rotation_xyz(float x_degrees, float y_degrees, float z_degrees);
mtx44 make_rotation_axis(vec3 axis, float angle_degrees);
mtx44 make_translation(float x, float y, float z);
mtx44 make_scaling(float x, float y, float z);
mtx44 make_frame(vec3 position, vec3 direction, vec3 up);
// The inverse of the frame at position looking along direction (the
// orientation operator): world space into the frame.
mtx44 make_orientation(vec3 direction, vec3 position);

} // namespace math
