// The seven variable classes, instantiated once here, each checked to fit one
// node-pool slot.
#include "engine/kernel/Parser/var.h"

namespace parser {

template class var<bool>;
template class var<int32_t>;
template class var<float>;
template class var<vec3>;
template class var<vec4>;
template class var<mtx44>;
template class var<string_base>;

static_assert(sizeof(var<mtx44>) <= node_slot_payload, "a variable must fit one node-pool slot");
static_assert(sizeof(var<string_base>) <= node_slot_payload, "a variable must fit one node-pool slot");

} // namespace parser
