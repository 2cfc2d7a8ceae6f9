// Draws the executable's pictures: the splash bitmap (512 x 256, 24 bits) and
// the icon group (128, 96, 72, 64, 48 and 32 pixels, 32 bits with alpha), as
// splash.bmp and mirecrest.ico in the folder given. Run it again after changing
// a picture here: make_pictures host/resources
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct rgba {
    float r, g, b, a;
};

rgba mix(rgba x, rgba y, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return { x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t };
}

// Colours of the marsh at dusk.
constexpr rgba night { 0.05f, 0.10f, 0.18f, 1 };
constexpr rgba dusk { 0.93f, 0.58f, 0.28f, 1 };
constexpr rgba ridge { 0.10f, 0.13f, 0.16f, 1 };
constexpr rgba water { 0.07f, 0.16f, 0.20f, 1 };
constexpr rgba reed { 0.04f, 0.06f, 0.05f, 1 };
constexpr rgba moon { 0.98f, 0.93f, 0.80f, 1 };
constexpr rgba shield { 0.16f, 0.30f, 0.34f, 1 };
constexpr rgba rim { 0.85f, 0.68f, 0.35f, 1 };

// Height of the crest line over the horizon at x (0..1), as a share of the height.
float crest_height(float x)
{
    float peak = 0.34f * std::exp(-std::pow((x - 0.62f) / 0.16f, 2.0f));
    return 0.08f + peak + 0.035f * std::sin(x * 23.0f) + 0.02f * std::sin(x * 57.0f + 1.0f);
}

// The splash scene at (x, y), both 0..1 with y down.
rgba splash_at(float x, float y)
{
    constexpr float horizon = 0.62f;
    if (y < horizon) {
        float above = horizon - y;
        if (std::hypot((x - 0.24f) * 2.0f, y - 0.22f) < 0.07f)
            return moon;
        rgba sky = mix(dusk, night, above / horizon);
        return above < crest_height(x) ? ridge : sky;
    }
    float below = y - horizon;
    bool reflected_ridge = below < crest_height(x) * 0.6f;
    rgba base = reflected_ridge ? mix(ridge, water, 0.5f) : mix(mix(dusk, water, 0.6f), water, below * 3);
    float ripple = 0.5f + 0.5f * std::sin(y * 420.0f + std::sin(x * 40.0f) * 2.0f);
    base = mix(base, water, ripple * 0.35f);
    float stalk = std::fmod(x * 97.0f + std::sin(x * 13.0f) * 3.0f, 1.0f);
    if (y > 0.78f + 0.1f * std::sin(x * 31.0f) && stalk < 0.08f)
        return reed;
    return base;
}

// The icon at (x, y), both -1..1: a crest shield with a peak over the marsh.
rgba icon_at(float x, float y)
{
    float top = -0.86f;
    float half_width = y < 0.1f ? 0.8f : 0.8f * std::sqrt(std::max(0.0f, 1.0f - std::pow((y - 0.1f) / 0.82f, 2.0f)));
    if (y < top || std::fabs(x) > half_width || y > 0.92f)
        return { 0, 0, 0, 0 };
    float inset = std::min({ y - top, half_width - std::fabs(x), 0.92f - y });
    if (inset < 0.09f)
        return rim;
    if (y > 0.25f)
        return std::fmod((y - 0.25f) * 6.0f, 1.0f) < 0.45f ? mix(water, rim, 0.25f) : water;
    float peak = 0.25f - (0.85f - std::fabs(x + 0.05f) * 1.4f);
    if (y > peak)
        return ridge;
    return mix(dusk, shield, (0.25f - y) * 1.2f);
}

// 4 x 4 samples a pixel, so edges and the shield's rim are smooth.
template <typename Scene> rgba sample(Scene scene, int px, int py, int width, int height, bool centered)
{
    rgba sum { 0, 0, 0, 0 };
    for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
            float x = (px + (sx + 0.5f) / 4) / width;
            float y = (py + (sy + 0.5f) / 4) / height;
            rgba c = centered ? scene(x * 2 - 1, y * 2 - 1) : scene(x, y);
            sum = { sum.r + c.r * c.a, sum.g + c.g * c.a, sum.b + c.b * c.a, sum.a + c.a };
        }
    if (sum.a <= 0)
        return { 0, 0, 0, 0 };
    return { sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / 16 };
}

uint8_t byte_of(float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255)); }

void put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// BITMAPINFOHEADER; an icon image declares twice its height (colour + mask).
void put_info_header(std::vector<uint8_t>& out, int width, int height, int bits)
{
    put32(out, 40);
    put32(out, uint32_t(width));
    put32(out, uint32_t(height));
    put16(out, 1);
    put16(out, uint32_t(bits));
    for (int i = 0; i < 6; ++i)
        put32(out, 0); // no compression, image size and resolutions left to the reader
}

std::vector<uint8_t> splash_bitmap(int width, int height)
{
    int row = (width * 3 + 3) & ~3;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, uint32_t(14 + 40 + row * height));
    put32(out, 0);
    put32(out, 14 + 40);
    put_info_header(out, width, height, 24);
    for (int y = height - 1; y >= 0; --y) { // bottom-up rows
        for (int x = 0; x < width; ++x) {
            rgba c = sample(splash_at, x, y, width, height, false);
            out.push_back(byte_of(c.b));
            out.push_back(byte_of(c.g));
            out.push_back(byte_of(c.r));
        }
        out.resize(out.size() + size_t(row - width * 3), 0);
    }
    return out;
}

std::vector<uint8_t> icon_image(int size)
{
    std::vector<uint8_t> out;
    put_info_header(out, size, size * 2, 32);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            rgba c = sample(icon_at, x, y, size, size, true);
            out.push_back(byte_of(c.b));
            out.push_back(byte_of(c.g));
            out.push_back(byte_of(c.r));
            out.push_back(byte_of(c.a));
        }
    int mask_row = ((size + 31) / 32) * 4;
    out.resize(out.size() + size_t(mask_row * size), 0); // alpha decides; the mask shows every pixel
    return out;
}

std::vector<uint8_t> icon_file(const std::vector<int>& sizes)
{
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes)
        images.push_back(icon_image(size));
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1); // an icon, not a cursor
    put16(out, uint32_t(sizes.size()));
    uint32_t offset = uint32_t(6 + 16 * sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        out.push_back(uint8_t(sizes[i])); // all sizes are below 256
        out.push_back(uint8_t(sizes[i]));
        out.push_back(0);
        out.push_back(0);
        put16(out, 1);
        put16(out, 32);
        put32(out, uint32_t(images[i].size()));
        put32(out, offset);
        offset += uint32_t(images[i].size());
    }
    for (const std::vector<uint8_t>& image : images)
        out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool save(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_pictures FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    bool ok = save(folder + "/splash.bmp", splash_bitmap(512, 256))
        && save(folder + "/mirecrest.ico", icon_file({ 128, 96, 72, 64, 48, 32 }));
    if (!ok)
        std::fprintf(stderr, "make_pictures: cannot write the pictures in %s\n", folder.c_str());
    return ok ? 0 : 1;
}
