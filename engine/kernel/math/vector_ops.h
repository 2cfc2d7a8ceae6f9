// vec3 / vec4 routines: products, lengths, normalisation and saturation.
#pragma once

#include "engine/kernel/math/vec3.h"
#include "engine/kernel/math/vec4.h"

namespace math {

vec3 normalize(vec3 v); // unchanged when the length is not above 0.000001
vec3 cross(vec3 a, vec3 b);
float dot(vec3 a, vec3 b);
float dot(vec4 a, vec4 b);
float dot(vec3 a, vec4 b); // (x, y, z, 1) . b: adds b.w
float dot(vec4 a, vec3 b);
float length(vec3 v);
float dist(vec3 a, vec3 b);
float dist2(vec3 a, vec3 b);
vec3 saturate(vec3 v);
vec4 saturate(vec4 v); // min(max(c, 0), 1) per component; NaN becomes 0

} // namespace math
