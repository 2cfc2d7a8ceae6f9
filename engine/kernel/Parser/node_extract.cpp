// The slot operations of node_extract<R, S>, instantiated for its three forms:
// float from vec3, float from vec4, vec3 from vec4.
#include "engine/kernel/Parser/node_extract.h"

#include "engine/kernel/Parser/node_layouts.h"

namespace parser {

namespace {

// Component i of a vector. An index outside the vector (the grammar never
// makes one) reads as 0 rather than past the value.
float component(const vec3& v, int32_t i)
{
    switch (i) {
    case 0:
        return v.x;
    case 1:
        return v.y;
    case 2:
        return v.z;
    default:
        return 0.0f;
    }
}

float component(const vec4& v, int32_t i) { return i == 3 ? v.w : component(vec3 { v.x, v.y, v.z }, i); }

void extract(float& out, const vec3& v, int32_t index) { out = component(v, index); }
void extract(float& out, const vec4& v, int32_t index) { out = component(v, index); }
void extract(vec3& out, const vec4& v, int32_t) { out = { v.x, v.y, v.z }; }

} // namespace

template <typename R, typename S> node_extract<R, S>::~node_extract() { release_child(a); }

template <typename R, typename S> void node_extract<R, S>::serialize(archive& ar) const
{
    SClassBlockResult block = ar.begin_class_block(class_tag, node_extract_layout, false, 1);
    node_exp::serialize(ar);
    ar.write_ref(a);
    ar.write_int(index);
    write_child_object(ar, a);
    ar.end_class_block(block);
}

template <typename R, typename S> node_expr<R>* node_extract<R, S>::bind(call_frame* frame, void* environment)
{
    int32_t i = index;
    return bind_children(
        this, frame, environment, [i](node_expr<S>* r) { return new node_extract(r, i); }, a);
}

template <typename R, typename S>
void node_extract<R, S>::evaluate(void* ctx, R& out, call_frame* frame, void* environment)
{
    S source = initial_value<S>();
    a->evaluate(ctx, source, frame, environment);
    extract(out, source, index);
}

template <typename R, typename S> bool node_extract<R, S>::fold_constants(bool params_fixed, void* environment)
{
    return a->fold_constants(params_fixed, environment); // the source folds itself
}

template class node_extract<float, vec3>;
template class node_extract<float, vec4>;
template class node_extract<vec3, vec4>;

} // namespace parser
