// node_extract<R, S>: component access on a vector. A float from a vec3 or a
// vec4 (index 0 x, 1 y, 2 z, 3 w), or the vec3 x, y, z of a vec4 (index 4).
#pragma once

#include <type_traits>

#include "engine/kernel/Parser/class_tag.h"
#include "engine/kernel/Parser/node.h"
#include "engine/kernel/Parser/node_children.h"

namespace parser {

// The index a vec3-from-vec4 extraction always stores.
constexpr int32_t extract_xyz = 4;

template <typename R, typename S> class node_extract final : public node_expr<R> {
public:
    static constexpr uint32_t class_tag
        = make_class_tag(node_kind::extract, type_number_v<R>, 0, 0, 0, 0, type_number_v<S>);

    // Takes over the source's reference. A vec3 result always stores index 4.
    node_extract(node_expr<S>* source, int32_t component)
        : a(source)
        , index(std::is_same_v<R, vec3> ? extract_xyz : component)
    {
        static_assert(sizeof(node_extract) <= node_slot_payload, "a node must fit one node-pool slot");
        this->flags = children_flags(a);
    }
    ~node_extract() override;
    void serialize(archive& ar) const override;
    node_expr<R>* bind(call_frame* frame, void* environment) override;
    void evaluate(void* ctx, R& out, call_frame* frame, void* environment) override;
    bool fold_constants(bool params_fixed, void* environment) override;

    node_expr<S>* a;
    int32_t index;
};

} // namespace parser
