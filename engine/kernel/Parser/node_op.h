// The operator nodes node_op1/2/3<OP, R, A, B, C>: an owned operand per slot
// (a, b, c) and OP's rule over their values. Only construction and release
// live here; the other slot operations (node_op_slots.h) are instantiated
// once, in operators.cpp, for exactly the classes of the catalogue.
#pragma once

#include <type_traits>

#include "engine/kernel/Parser/class_tag.h"
#include "engine/kernel/Parser/node.h"
#include "engine/kernel/Parser/node_children.h"
#include "engine/kernel/Parser/operator_tags.h"

namespace parser {

// and / or over bools evaluate (and bind) their second operand only when the
// first does not decide the result.
template <typename OP, typename R>
constexpr bool short_circuits = std::is_same_v<R, bool> && (std::is_same_v<OP, OP_and> || std::is_same_v<OP, OP_or>);
// The operand value that decides such an operator: false for and, true for or.
template <typename OP> constexpr bool deciding_value = std::is_same_v<OP, OP_or>;

template <typename OP, typename R, typename A> class node_op1 final : public node_expr<R> {
public:
    static constexpr uint32_t class_tag
        = make_class_tag(node_kind::op1, type_number_v<R>, OP::number, type_number_v<A>);

    // Takes over the operand's reference.
    explicit node_op1(node_expr<A>* first)
        : a(first)
    {
        static_assert(sizeof(node_op1) <= node_slot_payload, "a node must fit one node-pool slot");
        this->flags = children_flags(a);
    }
    ~node_op1() override { release_child(a); }
    void serialize(archive& ar) const override;
    node_expr<R>* bind(call_frame* frame, void* environment) override;
    void evaluate(void* ctx, R& out, call_frame* frame, void* environment) override;
    bool fold_constants(bool params_fixed, void* environment) override;

    node_expr<A>* a;
};

template <typename OP, typename R, typename A, typename B> class node_op2 final : public node_expr<R> {
public:
    static constexpr uint32_t class_tag
        = make_class_tag(node_kind::op2, type_number_v<R>, OP::number, type_number_v<A>, type_number_v<B>);

    // Takes over the operands' references.
    node_op2(node_expr<A>* first, node_expr<B>* second)
        : a(first)
        , b(second)
    {
        static_assert(sizeof(node_op2) <= node_slot_payload, "a node must fit one node-pool slot");
        this->flags = children_flags(a, b);
    }
    ~node_op2() override
    {
        release_child(a);
        release_child(b);
    }
    void serialize(archive& ar) const override;
    node_expr<R>* bind(call_frame* frame, void* environment) override;
    void evaluate(void* ctx, R& out, call_frame* frame, void* environment) override;
    bool fold_constants(bool params_fixed, void* environment) override;

    node_expr<A>* a;
    node_expr<B>* b;
};

template <typename OP, typename R, typename A, typename B, typename C> class node_op3 final : public node_expr<R> {
public:
    static constexpr uint32_t class_tag = make_class_tag(
        node_kind::op3, type_number_v<R>, OP::number, type_number_v<A>, type_number_v<B>, type_number_v<C>);

    // Takes over the operands' references.
    node_op3(node_expr<A>* first, node_expr<B>* second, node_expr<C>* third)
        : a(first)
        , b(second)
        , c(third)
    {
        static_assert(sizeof(node_op3) <= node_slot_payload, "a node must fit one node-pool slot");
        this->flags = children_flags(a, b, c);
    }
    ~node_op3() override
    {
        release_child(a);
        release_child(b);
        release_child(c);
    }
    void serialize(archive& ar) const override;
    node_expr<R>* bind(call_frame* frame, void* environment) override;
    void evaluate(void* ctx, R& out, call_frame* frame, void* environment) override;
    bool fold_constants(bool params_fixed, void* environment) override;

    node_expr<A>* a;
    node_expr<B>* b;
    node_expr<C>* c;
};

} // namespace parser
