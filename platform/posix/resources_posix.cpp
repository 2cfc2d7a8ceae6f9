// The executable's resources on POSIX. There are none in an ELF file: the icon
// group (161) and the splash bitmap (159) are small stand-in objects that only
// remember what was asked for, and string 160 is the product name. Any other
// resource number is missing, as it would be on Windows.
#include <cstring>

#include "platform/platform.h"

namespace platform {

namespace {

constexpr int icon_group = 161;
constexpr int splash_bitmap = 159;
constexpr int product_name_string = 160;
constexpr const char* product_name = "Mire Crest";

struct stand_in_image {
    int resource;
    int width;
    int height;
};

struct metric {
    int index;
    int value;
};
constexpr metric metrics[] = {
    { sm_cxicon, 32 },
    { sm_cyicon, 32 },
    { sm_cxsmicon, 16 },
    { sm_cysmicon, 16 },
};

} // namespace

int system_metric(int index)
{
    for (const metric& m : metrics)
        if (m.index == index)
            return m.value;
    return 0;
}

handle load_icon(handle, int resource, int cx, int cy)
{
    if (resource != icon_group || cx <= 0 || cy <= 0)
        return nullptr;
    return new stand_in_image { resource, cx, cy };
}

void destroy_icon(handle icon) { delete static_cast<stand_in_image*>(icon); }

handle load_bitmap(handle, int resource)
{
    if (resource != splash_bitmap)
        return nullptr;
    return new stand_in_image { resource, 512, 256 };
}

void destroy_bitmap(handle bitmap) { delete static_cast<stand_in_image*>(bitmap); }

// LoadStringA: copies at most size - 1 characters and a zero; the count copied.
int load_string(handle, int resource, char* out, int size)
{
    if (resource != product_name_string || !out || size <= 0)
        return 0;
    int length = int(std::strlen(product_name));
    if (length > size - 1)
        length = size - 1;
    std::memcpy(out, product_name, size_t(length));
    out[length] = 0;
    return length;
}

} // namespace platform
