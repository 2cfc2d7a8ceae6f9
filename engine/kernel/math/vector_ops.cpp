// vec3 / vec4 routines: products, lengths, normalisation and saturation, all in
// single precision.
#include "engine/kernel/math/vector_ops.h"

#include <cmath>

#include "engine/kernel/math/scalar.h"

namespace math {

// Lengths at or below this are treated as zero: normalising them would blow up.
constexpr float normalize_threshold = 0.000001f;

vec3 normalize(vec3 v)
{
    float l = length(v);
    if (!(l > normalize_threshold))
        return v;
    float r = 1.0f / l; // one division, three products
    return { v.x * r, v.y * r, v.z * r };
}

vec3 cross(vec3 a, vec3 b) { return { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x }; }

float dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float dot(vec4 a, vec4 b) { return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w; }
float dot(vec3 a, vec4 b) { return a.x * b.x + a.y * b.y + a.z * b.z + b.w; }
float dot(vec4 a, vec3 b) { return dot(b, a); }

float length(vec3 v) { return std::sqrt(dot(v, v)); }

float dist2(vec3 a, vec3 b)
{
    vec3 d { a.x - b.x, a.y - b.y, a.z - b.z };
    return dot(d, d);
}

float dist(vec3 a, vec3 b) { return std::sqrt(dist2(a, b)); }

vec3 saturate(vec3 v) { return { saturate(v.x), saturate(v.y), saturate(v.z) }; }

// min(max(c, 0), 1) with the operand order of the SSE max/min instructions: a
// NaN fails every comparison and so takes the 0, and -0.0 becomes +0.0.
static float clamp_unit(float c)
{
    float m = c > 0.0f ? c : 0.0f;
    return m < 1.0f ? m : 1.0f;
}

vec4 saturate(vec4 v) { return { clamp_unit(v.x), clamp_unit(v.y), clamp_unit(v.z), clamp_unit(v.w) }; }

} // namespace math
