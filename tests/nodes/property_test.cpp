// Properties over a few thousand random trees (seeded) of literals, test
// leaves, every catalogue operator, selections, extractions and constructors,
// with some subtrees shared: folding and binding never change a value, folding
// leaves every constant subtree as one value node, and bind shares what it
// does not change.
#include <random>

#include "engine/kernel/Parser/node_extract.h"
#include "engine/kernel/Parser/node_select.h"
#include "engine/kernel/Parser/node_vec.h"
#include "engine/kernel/Parser/operator_catalogue.h"
#include "tests/nodes/node_test_support.h"

namespace node_test {
namespace {

template <typename T> node_expr<T>* typed(node_exp* e)
{
    auto* t = dynamic_cast<node_expr<T>*>(e);
    EXPECT_NE(t, nullptr);
    return t;
}

constexpr uint32_t bool_and_tag = 0x301a0000, bool_or_tag = 0x30190000;

class tree_generator {
public:
    // Without short cuts: no bool and / or and no selection, whose bind may
    // legitimately return a branch instead of the node.
    tree_generator(uint32_t seed, bool with_short_cuts)
        : rng(seed)
        , short_cuts(with_short_cuts)
    {
        for (const operator_entry& e : operator_catalogue_entries())
            if (with_short_cuts || (e.tag != bool_and_tag && e.tag != bool_or_tag))
                by_result[tag_result(e.tag)].push_back(&e);
    }

    node_exp* tree(uint8_t type, int depth)
    {
        for (auto& list : made)
            list.clear();
        return make(type, depth);
    }

    void randomize(leaf_values& v)
    {
        for (int slot = 0; slot < 4; ++slot) {
            v.at<bool>(slot) = pick(2) == 1;
            v.at<I>(slot) = int_value();
            v.at<F>(slot) = float_value();
            v.at<vec3>(slot) = { float_value(), float_value(), float_value() };
            v.at<vec4>(slot) = { float_value(), float_value(), float_value(), float_value() };
            v.at<mtx44>(slot) = matrix_value();
            v.at<S>(slot) = text_value();
        }
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); }

private:
    std::mt19937 rng;
    bool short_cuts;
    std::vector<const operator_entry*> by_result[7];
    std::vector<node_exp*> made[7]; // finished subtrees of this tree, by type, for sharing

    I int_value()
    {
        const I special[] = { 0, 1, -1, 7, -7, 300, INT32_MAX, INT32_MIN };
        return pick(3) ? I(pick(41) - 20) : special[pick(8)];
    }
    F float_value()
    {
        const F special[] = { 0.0f, -0.0f, 0.5f, -2.5f, 3.0e9f, std::nanf(""), HUGE_VALF, 1e-7f };
        return pick(3) ? F(pick(2001) - 1000) / 100.0f : special[pick(8)];
    }
    mtx44 matrix_value()
    {
        mtx44 m;
        for (float& f : m.m)
            f = pick(2) ? float_value() : f;
        return m;
    }
    S text_value()
    {
        const char* texts[] = { "", "Abc", "bc", "x", "\xe4Z", "aBC" };
        return S(texts[pick(6)]);
    }

    node_exp* literal(uint8_t type)
    {
        switch (type) {
        case 0:
            return lit(pick(2) == 1);
        case 1:
            return lit(int_value());
        case 2:
            return lit(float_value());
        case 3:
            return lit(vec3 { float_value(), float_value(), float_value() });
        case 4:
            return lit(vec4 { float_value(), float_value(), float_value(), float_value() });
        case 5:
            return lit(matrix_value());
        default:
            return new node_val<S>(text_value());
        }
    }

    template <typename T> node_exp* leaf_of()
    {
        return new test_leaf<T>(pick(4), pick(2) == 1, uint32_t(1) << pick(4));
    }

    node_exp* leaf(uint8_t type)
    {
        return visit_type(type, [&](auto tag) { return leaf_of<typename decltype(tag)::type>(); });
    }

    node_exp* operation(uint8_t type, int depth)
    {
        const operator_entry& e = *by_result[type][size_t(pick(int(by_result[type].size())))];
        node_exp* operands[3] = {};
        for (int i = 0; i < tag_kind(e.tag) - node_kind::op1 + 1; ++i)
            operands[i] = make(tag_operand(e.tag, i), depth - 1);
        node_exp* n = e.create(operands);
        EXPECT_NE(n, nullptr);
        return n;
    }

    template <typename T> node_exp* select(int depth)
    {
        node_expr<bool>* condition = typed<bool>(make(0, depth - 1));
        node_expr<T>* when_true = typed<T>(make(type_number_v<T>, depth - 1));
        node_expr<T>* when_false = typed<T>(make(type_number_v<T>, depth - 1));
        return new node_select<T>(condition, when_true, when_false);
    }

    node_exp* vec3_node(int depth)
    {
        if (pick(3) == 0) {
            node_expr<F>* s = typed<F>(make(2, depth - 1));
            s->refs += 2;
            return new node_vec3(s, s, s);
        }
        node_expr<F>* x = typed<F>(make(2, depth - 1));
        node_expr<F>* y = typed<F>(make(2, depth - 1));
        node_expr<F>* z = typed<F>(make(2, depth - 1));
        return new node_vec3(x, y, z);
    }

    node_exp* vec4_node(int depth)
    {
        if (pick(2)) {
            node_expr<vec3>* xyz = typed<vec3>(make(3, depth - 1));
            return new node_vec4(xyz, typed<F>(make(2, depth - 1)));
        }
        node_expr<F>* x = typed<F>(make(2, depth - 1));
        node_expr<F>* y = typed<F>(make(2, depth - 1));
        node_expr<F>* z = typed<F>(make(2, depth - 1));
        return new node_vec4(x, y, z, typed<F>(make(2, depth - 1)));
    }

    // A selection, extraction or constructor of the type, or null when the
    // type has none.
    node_exp* special(uint8_t type, int depth)
    {
        if (short_cuts && type != 0 && type != 5 && pick(2)) // bool and mtx44 have no selection
            return visit_type(type, [&](auto tag) -> node_exp* {
                using T = typename decltype(tag)::type;
                if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, mtx44>)
                    return nullptr;
                else
                    return select<T>(depth);
            });
        switch (type) {
        case 2:
            if (pick(2))
                return new node_extract<F, vec3>(typed<vec3>(make(3, depth - 1)), pick(3));
            return new node_extract<F, vec4>(typed<vec4>(make(4, depth - 1)), pick(4));
        case 3:
            return pick(2) ? vec3_node(depth) : new node_extract<vec3, vec4>(typed<vec4>(make(4, depth - 1)), 4);
        case 4:
            return vec4_node(depth);
        default:
            return nullptr;
        }
    }

    node_exp* make(uint8_t type, int depth)
    {
        node_exp* n = nullptr;
        if (!made[type].empty() && pick(10) == 0) {
            n = made[type][size_t(pick(int(made[type].size())))];
            n->add_ref();
            return n;
        }
        if (depth <= 0 || pick(8) == 0)
            n = pick(2) ? literal(type) : leaf(type);
        else if (pick(4) == 0)
            n = special(type, depth);
        if (!n)
            n = operation(type, depth);
        made[type].push_back(n);
        return n;
    }
};

// Whether an archived object has a test leaf below it (or is one).
bool has_leaf(std::map<int, archived_object>& objects, int id)
{
    if (tag_kind(objects[id].tag) == node_kind::variable)
        return true;
    for (int child : objects[id].refs)
        if (has_leaf(objects, child))
            return true;
    return false;
}

void expect_constants_folded(const node_exp* root)
{
    auto objects = archived_objects(archived(*root));
    for (const auto& [id, object] : objects) {
        if (!has_leaf(objects, id)) {
            EXPECT_EQ(tag_kind(object.tag), node_kind::value)
                << "a constant subtree was left unfolded: " << std::hex << object.tag;
        }
    }
}

template <typename T> void check_tree(node_exp* root_exp, leaf_values& frame_values_, bool sharing_expected)
{
    node_expr<T>* root = typed<T>(root_exp);
    call_frame* frame = as_frame(&frame_values_);
    const T plain = eval<T>(root);
    const T framed = eval<T>(root, frame);

    node_expr<T>* bound = root->bind(frame, environment);
    EXPECT_TRUE(same(bound ? eval<T>(bound) : eval<T>(root, frame), framed)) << "bind under a frame changed the value";
    if (bound)
        bound->release();

    auto* folded = typed<T>(root->optimize(false, environment));
    EXPECT_TRUE(same(eval<T>(folded), plain)) << "optimize changed the value";
    EXPECT_TRUE(same(eval<T>(folded, frame), framed)) << "optimize changed the value under a frame";
    expect_constants_folded(folded);

    if (sharing_expected) {
        const int32_t refs = folded->refs;
        node_expr<T>* again = folded->bind(nullptr, environment);
        if (dynamic_cast<node_val<T>*>(folded)) {
            EXPECT_EQ(again, nullptr);
        } else {
            EXPECT_EQ(again, folded) << "bind copied an unchanged tree";
            EXPECT_EQ(folded->refs, refs + 1);
            again->release();
        }
    }
    folded->release();
}

using property_test = nodes_test;

void run(uint32_t seed, bool short_cuts, int trees)
{
    tree_generator generate(seed, short_cuts);
    leaf_values frame;
    for (int i = 0; i < trees && !testing::Test::HasFailure(); ++i) {
        SCOPED_TRACE(testing::Message() << "tree " << i);
        generate.randomize(globals);
        generate.randomize(frame);
        const uint8_t type = uint8_t(generate.pick(7));
        node_exp* root = generate.tree(type, 2 + generate.pick(6));
        visit_type(type, [&](auto tag) { check_tree<typename decltype(tag)::type>(root, frame, !short_cuts); });
        ASSERT_EQ(node_pool_live_count(), 0u);
    }
    EXPECT_EQ(wrong_environment_seen, 0);
}

TEST_F(property_test, folding_and_binding_keep_values_over_random_trees) { run(20240611, true, 3000); }

TEST_F(property_test, bind_shares_every_unchanged_tree) { run(77, false, 1500); }

} // namespace
} // namespace node_test
