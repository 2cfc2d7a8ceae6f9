// The executable's resources on POSIX. There are none in an ELF file: the icon
// group (161) and the splash bitmap (159) are stand-in handles (one static
// object each, so a handle never leaks, even when a crash skips its release),
// and string 160 is the product name. Any other number is missing, as it would
// be on Windows.
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
};
stand_in_image icon_stand_in { icon_group };
stand_in_image bitmap_stand_in { splash_bitmap };

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
    return &icon_stand_in;
}

void destroy_icon(handle) { }

handle load_bitmap(handle, int resource)
{
    if (resource != splash_bitmap)
        return nullptr;
    return &bitmap_stand_in;
}

void destroy_bitmap(handle) { }

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
