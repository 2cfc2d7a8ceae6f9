// The slot operations of the vector constructors node_vec3 and node_vec4.
#include "engine/kernel/Parser/node_vec.h"

#include "engine/kernel/Parser/node_layouts.h"

namespace parser {

node_vec3::node_vec3(node_expr<float>* x_node, node_expr<float>* y_node, node_expr<float>* z_node)
    : x(x_node)
    , y(y_node)
    , z(z_node)
{
    flags = children_flags(x, y, z);
}

node_vec3::~node_vec3()
{
    release_child(x);
    release_child(y);
    release_child(z);
}

void node_vec3::serialize(archive& ar) const
{
    serialize_with_children(ar, class_tag, node_vec3_layout, *this, { x, y, z });
}

// The three slots bind as three children even when they hold one node.
node_expr<vec3>* node_vec3::bind(call_frame* frame, void* environment)
{
    auto make
        = [](node_expr<float>* rx, node_expr<float>* ry, node_expr<float>* rz) { return new node_vec3(rx, ry, rz); };
    return bind_children(this, frame, environment, make, x, y, z);
}

void node_vec3::evaluate(void* ctx, vec3& out, call_frame* frame, void* environment)
{
    x->evaluate(ctx, out.x, frame, environment);
    y->evaluate(ctx, out.y, frame, environment);
    z->evaluate(ctx, out.z, frame, environment);
}

bool node_vec3::fold_constants(bool params_fixed, void* environment)
{
    return fold_children(params_fixed, environment, x, y, z);
}

node_vec4::node_vec4(
    node_expr<float>* x_node, node_expr<float>* y_node, node_expr<float>* z_node, node_expr<float>* w_node)
    : x(x_node)
    , y(y_node)
    , z(z_node)
    , w(w_node)
{
    flags = children_flags(x, y, z, w);
}

node_vec4::node_vec4(node_expr<vec3>* xyz_node, node_expr<float>* w_node)
    : w(w_node)
    , xyz(xyz_node)
{
    flags = children_flags(xyz, w);
}

node_vec4::~node_vec4()
{
    release_child(x);
    release_child(y);
    release_child(z);
    release_child(w);
    release_child(xyz);
}

void node_vec4::serialize(archive& ar) const
{
    serialize_with_children(ar, class_tag, node_vec4_layout, *this, { x, y, z, w, xyz });
}

node_expr<vec4>* node_vec4::bind(call_frame* frame, void* environment)
{
    if (xyz) {
        auto make = [](node_expr<vec3>* rxyz, node_expr<float>* rw) { return new node_vec4(rxyz, rw); };
        return bind_children(this, frame, environment, make, xyz, w);
    }
    auto make = [](node_expr<float>* rx, node_expr<float>* ry, node_expr<float>* rz, node_expr<float>* rw) {
        return new node_vec4(rx, ry, rz, rw);
    };
    return bind_children(this, frame, environment, make, x, y, z, w);
}

void node_vec4::evaluate(void* ctx, vec4& out, call_frame* frame, void* environment)
{
    if (xyz) {
        vec3 first = initial_value<vec3>();
        xyz->evaluate(ctx, first, frame, environment);
        out.x = first.x;
        out.y = first.y;
        out.z = first.z;
    } else {
        x->evaluate(ctx, out.x, frame, environment);
        y->evaluate(ctx, out.y, frame, environment);
        z->evaluate(ctx, out.z, frame, environment);
    }
    w->evaluate(ctx, out.w, frame, environment);
}

// In the vec3-plus-float form the generic rule over (xyz, w) is exactly the
// form's own: both constant folds the node, else the constant one is folded.
bool node_vec4::fold_constants(bool params_fixed, void* environment)
{
    if (xyz)
        return fold_children(params_fixed, environment, xyz, w);
    return fold_children(params_fixed, environment, x, y, z, w);
}

} // namespace parser
