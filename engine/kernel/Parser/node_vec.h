// The vector constructors: node_vec3 from three float expressions (the same
// node in all three slots for "[f]"), and node_vec4 either from four floats or
// from a vec3 and a float.
#pragma once

#include "engine/kernel/Parser/class_tag.h"
#include "engine/kernel/Parser/node.h"
#include "engine/kernel/Parser/node_children.h"

namespace parser {

class node_vec3 final : public node_expr<vec3> {
public:
    static constexpr uint32_t class_tag = make_class_tag(node_kind::vec3, type_number_v<vec3>);

    // Takes over the three references; one node may fill several slots when
    // each slot carries a reference of its own.
    node_vec3(node_expr<float>* x, node_expr<float>* y, node_expr<float>* z);
    ~node_vec3() override;
    void serialize(archive& ar) const override;
    node_expr<vec3>* bind(call_frame* frame, void* environment) override;
    void evaluate(void* ctx, vec3& out, call_frame* frame, void* environment) override;
    bool fold_constants(bool params_fixed, void* environment) override;

    node_expr<float>* x;
    node_expr<float>* y;
    node_expr<float>* z;
};

class node_vec4 final : public node_expr<vec4> {
public:
    static constexpr uint32_t class_tag = make_class_tag(node_kind::vec4, type_number_v<vec4>);

    // The four-float form (xyz null); takes over the references.
    node_vec4(node_expr<float>* x, node_expr<float>* y, node_expr<float>* z, node_expr<float>* w);
    // The vec3-plus-float form (x, y, z null); takes over the references.
    node_vec4(node_expr<vec3>* xyz, node_expr<float>* w);
    ~node_vec4() override;
    void serialize(archive& ar) const override;
    node_expr<vec4>* bind(call_frame* frame, void* environment) override;
    void evaluate(void* ctx, vec4& out, call_frame* frame, void* environment) override;
    bool fold_constants(bool params_fixed, void* environment) override;

    node_expr<float>* x = nullptr;
    node_expr<float>* y = nullptr;
    node_expr<float>* z = nullptr;
    node_expr<float>* w = nullptr;
    node_expr<vec3>* xyz = nullptr;
};

static_assert(sizeof(node_vec3) <= node_slot_payload, "a node must fit one node-pool slot");
static_assert(sizeof(node_vec4) <= node_slot_payload, "a node must fit one node-pool slot");

} // namespace parser
