// mtx44: 16 floats, row-major (element (i, j) at 4i + j), acting on column
// vectors with the translation in column 3. Default-constructed as the identity.
#pragma once

struct mtx44 {
    float m[16] = { 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1 };

    float& operator()(int row, int column) { return m[4 * row + column]; }
    float operator()(int row, int column) const { return m[4 * row + column]; }
};
