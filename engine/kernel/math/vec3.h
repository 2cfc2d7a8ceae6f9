// vec3: three single-precision components.
#pragma once

struct vec3 {
    float x, y, z;
};
