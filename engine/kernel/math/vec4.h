// vec4: four single-precision components.
#pragma once

struct vec4 {
    float x, y, z, w;
};
