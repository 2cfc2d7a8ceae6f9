// mtx44 routines: products, transforms, the cofactor inverse and the builders of
// rotations, translations, scalings and frames.
#include "engine/kernel/math/matrix_ops.h"

#include <cmath>

#include "engine/kernel/math/vector_ops.h"

namespace math {

// Degrees to radians, as the script has always converted them.
constexpr float degrees_to_radians = 0.017453292f;
// Below this the up vector counts as parallel to the direction.
constexpr float parallel_threshold = 0.0001f;
// A direction this close to straight up or down takes +z as its up vector.
constexpr float vertical_threshold = 0.9999f;

mtx44 multiply(const mtx44& a, const mtx44& b)
{
    mtx44 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r(i, j) = a(i, 0) * b(0, j) + a(i, 1) * b(1, j) + a(i, 2) * b(2, j) + a(i, 3) * b(3, j);
    return r;
}

vec3 transform_point(const mtx44& m, vec3 v)
{
    vec4 r = transform(m, { v.x, v.y, v.z, 1.0f });
    return { r.x, r.y, r.z };
}

// Only the upper-left 3x3 enters: a w = 0 product would still add the
// translation column times zero, turning infinite or NaN translations into NaN
// and negative zeros into positive ones.
vec3 transform_vector(const mtx44& m, vec3 v)
{
    vec3 r;
    float* out = &r.x;
    for (int i = 0; i < 3; ++i)
        out[i] = m(i, 0) * v.x + m(i, 1) * v.y + m(i, 2) * v.z;
    return r;
}

vec4 transform(const mtx44& m, vec4 v)
{
    vec4 r;
    float* out = &r.x;
    for (int i = 0; i < 4; ++i)
        out[i] = m(i, 0) * v.x + m(i, 1) * v.y + m(i, 2) * v.z + m(i, 3) * v.w;
    return r;
}

mtx44 transpose(const mtx44& m)
{
    mtx44 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r(i, j) = m(j, i);
    return r;
}

// Products of the elements of two rows, formed in single precision and then
// widened: pair[p][q] = m(a, p) * m(b, q).
struct row_pairs {
    double pair[4][4];
};

static row_pairs pairs_of(const mtx44& m, int a, int b)
{
    row_pairs r;
    for (int p = 0; p < 4; ++p)
        for (int q = 0; q < 4; ++q)
            r.pair[p][q] = double(m(a, p) * m(b, q));
    return r;
}

// The 3x3 minor that leaves out column skip, expanded along row e, with its
// 2x2 minors taken from the pair products of the two other rows.
static double minor3(const mtx44& m, const row_pairs& pairs, int e, int skip)
{
    int c[3];
    for (int j = 0, n = 0; j < 4; ++j)
        if (j != skip)
            c[n++] = j;
    auto det2 = [&](int p, int q) { return pairs.pair[p][q] - pairs.pair[q][p]; };
    return double(m(e, c[0])) * det2(c[1], c[2]) - double(m(e, c[1])) * det2(c[0], c[2])
        + double(m(e, c[2])) * det2(c[0], c[1]);
}

void invert(mtx44& m)
{
    // Rows 0 and 1 take their minors from rows 2 and 3, and the other way round;
    // within a minor the remaining row of the own half is the expansion row.
    row_pairs low = pairs_of(m, 0, 1);
    row_pairs high = pairs_of(m, 2, 3);
    static constexpr int expansion_row[4] = { 1, 0, 3, 2 };
    double cofactor[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double minor = minor3(m, i < 2 ? high : low, expansion_row[i], j);
            cofactor[i][j] = (i + j) % 2 ? -minor : minor;
        }
    double det = 0.0;
    for (int j = 0; j < 4; ++j)
        det += double(m(0, j)) * cofactor[0][j];
    double r = 1.0 / det; // no singular test: a zero determinant gives inf / NaN
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m(i, j) = float(cofactor[j][i] * r);
}

static mtx44 from_rows(const float (&rows)[3][3])
{
    mtx44 r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            r(i, j) = rows[i][j];
    return r;
}

mtx44 make_rotation_xyz(float x_degrees, float y_degrees, float z_degrees)
{
    float x = x_degrees * degrees_to_radians, y = y_degrees * degrees_to_radians, z = z_degrees * degrees_to_radians;
    float s1 = std::sin(x), c1 = std::cos(x);
    float s2 = std::sin(y), c2 = std::cos(y);
    float s3 = std::sin(z), c3 = std::cos(z);
    return from_rows({
        { c2 * c3, -(c2 * s3), s2 },
        { s2 * s1 * c3 + s3 * c1, c3 * c1 - s2 * s1 * s3, -(c2 * s1) },
        { s3 * s1 - s2 * c1 * c3, s2 * c1 * s3 + c3 * s1, c2 * c1 },
    });
}

mtx44 make_rotation_axis(vec3 axis, float angle_degrees)
{
    float theta = angle_degrees * degrees_to_radians;
    float k = std::cos(theta), s = std::sin(theta), t = 1.0f - k;
    float x = axis.x, y = axis.y, z = axis.z; // deliberately not normalized
    return from_rows({
        { t * x * x + k, t * x * y - s * z, t * x * z + s * y },
        { t * x * y + s * z, t * y * y + k, t * y * z - s * x },
        { t * x * z - s * y, t * y * z + s * x, t * z * z + k },
    });
}

mtx44 make_translation(float x, float y, float z)
{
    mtx44 r;
    r(0, 3) = x;
    r(1, 3) = y;
    r(2, 3) = z;
    return r;
}

mtx44 make_scaling(float x, float y, float z)
{
    mtx44 r;
    r(0, 0) = x;
    r(1, 1) = y;
    r(2, 2) = z;
    return r;
}

mtx44 make_frame(vec3 position, vec3 direction, vec3 up)
{
    vec3 f = normalize(direction);
    vec3 r = cross(up, f);
    if (length(r) < parallel_threshold) // up parallel to f: (1, 0, 0) x f instead
        r = vec3 { 0.0f, -f.z, f.y };
    r = normalize(r);
    vec3 u = cross(f, r);
    const vec3 columns[4] = { r, u, f, position };
    mtx44 m;
    for (int j = 0; j < 4; ++j) {
        m(0, j) = columns[j].x;
        m(1, j) = columns[j].y;
        m(2, j) = columns[j].z;
    }
    return m;
}

mtx44 make_orientation(vec3 direction, vec3 position)
{
    bool vertical = direction.y > vertical_threshold || direction.y < -vertical_threshold;
    vec3 up = vertical ? vec3 { 0.0f, 0.0f, 1.0f } : vec3 { 0.0f, 1.0f, 0.0f };
    mtx44 m = make_frame(position, direction, up);
    invert(m);
    return m;
}

} // namespace math
