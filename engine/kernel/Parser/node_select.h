// node_select<T>: the conditional choice "condition ? b : c" for int, float,
// vec3, vec4 and string_base. Only the branch the condition picks is
// evaluated; bind of a constant condition keeps just the chosen branch.
#pragma once

#include "engine/kernel/Parser/class_tag.h"
#include "engine/kernel/Parser/node.h"
#include "engine/kernel/Parser/node_children.h"

namespace parser {

template <typename T> class node_select final : public node_expr<T> {
public:
    // Bits 27-24 stay zero; the value type sits in bits 3-0.
    static constexpr uint32_t class_tag = make_class_tag(node_kind::select, 0, 0, 0, 0, 0, type_number_v<T>);

    // Takes over the three references.
    node_select(node_expr<bool>* condition, node_expr<T>* when_true, node_expr<T>* when_false)
        : a(condition)
        , b(when_true)
        , c(when_false)
    {
        static_assert(sizeof(node_select) <= node_slot_payload, "a node must fit one node-pool slot");
        this->flags = children_flags(a, b, c);
    }
    ~node_select() override;
    void serialize(archive& ar) const override;
    node_expr<T>* bind(call_frame* frame, void* environment) override;
    void evaluate(void* ctx, T& out, call_frame* frame, void* environment) override;
    bool fold_constants(bool params_fixed, void* environment) override;

    node_expr<bool>* a;
    node_expr<T>* b;
    node_expr<T>* c;
};

} // namespace parser
