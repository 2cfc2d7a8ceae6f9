// Instantiates every class of the operator catalogue, once, by building the
// entry table from the catalogue's type list: each entry's constructor drags
// in its class's virtual table and therefore all of its slot operations.
#include <array>

#include "engine/kernel/Parser/node_op_slots.h"
#include "engine/kernel/Parser/operator_catalogue.h"

namespace parser {

namespace {

template <typename T> node_expr<T>* operand(node_exp* e) { return e ? dynamic_cast<node_expr<T>*>(e) : nullptr; }

template <typename OP, typename R, typename A>
node_exp* create(std::type_identity<node_op1<OP, R, A>>, node_exp* const o[3])
{
    node_expr<A>* a = operand<A>(o[0]);
    return a ? new node_op1<OP, R, A>(a) : nullptr;
}

template <typename OP, typename R, typename A, typename B>
node_exp* create(std::type_identity<node_op2<OP, R, A, B>>, node_exp* const o[3])
{
    node_expr<A>* a = operand<A>(o[0]);
    node_expr<B>* b = operand<B>(o[1]);
    return a && b ? new node_op2<OP, R, A, B>(a, b) : nullptr;
}

template <typename OP, typename R, typename A, typename B, typename C>
node_exp* create(std::type_identity<node_op3<OP, R, A, B, C>>, node_exp* const o[3])
{
    node_expr<A>* a = operand<A>(o[0]);
    node_expr<B>* b = operand<B>(o[1]);
    node_expr<C>* c = operand<C>(o[2]);
    return a && b && c ? new node_op3<OP, R, A, B, C>(a, b, c) : nullptr;
}

template <typename Node> node_exp* create_node(node_exp* const operands[3])
{
    return create(std::type_identity<Node> {}, operands);
}

template <typename... Nodes> constexpr std::array<operator_entry, sizeof...(Nodes)> entries_of(type_list<Nodes...>)
{
    return { operator_entry { Nodes::class_tag, uint32_t(sizeof(Nodes)), &create_node<Nodes> }... };
}

constexpr auto entries = entries_of(operator_catalogue {});

} // namespace

std::span<const operator_entry> operator_catalogue_entries() { return entries; }

} // namespace parser
