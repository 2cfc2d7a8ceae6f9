// Test support for the expression nodes: the fixture that checks every node
// went back to the pool, literals, evaluation helpers, value comparison, test
// leaves that stand for parameters and extern variables, and the structure of
// what serialize writes to a text archive.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "engine/kernel/Parser/node.h"
#include "engine/kernel/Parser/node_pool.h"
#include "engine/kernel/Parser/text_archive.h"
#include "tests/support/released_pools_test.h"

namespace node_test {

using namespace parser;
using I = int32_t;
using F = float;
using S = string_base;

// Every test must give back every node it made.
using nodes_test = ReleasedPoolsTest;

// The environment word handed through every operation; leaves check it arrives.
inline int environment_marker;
inline void* const environment = &environment_marker;
inline int wrong_environment_seen = 0;
// Evaluations of test leaves, to see which operands were evaluated.
inline int leaf_evaluations = 0;

inline node_val<bool>* lit(bool v) { return new node_val<bool>(v); }
inline node_val<I>* lit(I v) { return new node_val<I>(v); }
inline node_val<F>* lit(F v) { return new node_val<F>(v); }
inline node_val<vec3>* lit(vec3 v) { return new node_val<vec3>(v); }
inline node_val<vec4>* lit(vec4 v) { return new node_val<vec4>(v); }
inline node_val<mtx44>* lit(const mtx44& v) { return new node_val<mtx44>(v); }
inline node_val<S>* lit(const char* v) { return new node_val<S>(S(v)); }

template <typename T> T eval(node_expr<T>* n, call_frame* frame = nullptr)
{
    T out = initial_value<T>();
    n->evaluate(nullptr, out, frame, environment);
    return out;
}

// Evaluates a root and releases it.
template <typename N> auto value_of(N* root)
{
    auto v = eval<typename N::value_type>(root);
    root->release();
    return v;
}

// Values compare bit for bit, except that any NaN equals any NaN.
inline bool same(float a, float b)
{
    return (std::isnan(a) && std::isnan(b)) || std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b);
}
inline bool same(bool a, bool b) { return a == b; }
inline bool same(I a, I b) { return a == b; }
inline bool same(vec3 a, vec3 b) { return same(a.x, b.x) && same(a.y, b.y) && same(a.z, b.z); }
inline bool same(vec4 a, vec4 b) { return same(a.x, b.x) && same(a.y, b.y) && same(a.z, b.z) && same(a.w, b.w); }
inline bool same(const mtx44& a, const mtx44& b)
{
    for (int i = 0; i < 16; ++i)
        if (!same(a.m[i], b.m[i]))
            return false;
    return true;
}
inline bool same(const S& a, const S& b) { return a == b; }

// What the test leaves read: one set of values for a frame, one global set.
struct leaf_values {
    std::tuple<std::array<bool, 4>, std::array<I, 4>, std::array<F, 4>, std::array<vec3, 4>, std::array<vec4, 4>,
        std::array<mtx44, 4>, std::array<S, 4>>
        slots;
    template <typename T> T& at(int slot) { return std::get<std::array<T, 4>>(slots)[size_t(slot)]; }
};
inline leaf_values globals;

// A frame is passed as an opaque pointer that only the test leaves read back.
inline call_frame* as_frame(leaf_values* v) { return reinterpret_cast<call_frame*>(v); }
inline leaf_values* frame_values(call_frame* f) { return reinterpret_cast<leaf_values*>(f); }

constexpr uint32_t leaf_tag_marker = 0xf;

// A non-constant leaf. An extern leaf reads the globals and binds to itself.
// A param leaf reads the frame's value when there is a frame (else the global
// one) and, like a parameter bound to a constant argument, is constant (null)
// under a frame.
template <typename T> class test_leaf final : public node_expr<T> {
public:
    test_leaf(int value_slot, bool is_param, uint32_t leaf_flags = 0)
        : slot(value_slot)
        , param(is_param)
    {
        this->flags = leaf_flags;
    }
    void serialize(archive& ar) const override
    {
        SClassBlockResult block = ar.begin_class_block(
            0x10000000u | uint32_t(type_number_v<T>) << 24 | leaf_tag_marker, node_exp_layout, false, 1);
        node_exp::serialize(ar);
        ar.write_int(slot);
        ar.end_class_block(block);
    }
    node_expr<T>* bind(call_frame* frame, void*) override
    {
        if (param && frame)
            return nullptr;
        this->add_ref();
        return this;
    }
    void evaluate(void*, T& out, call_frame* frame, void* env) override
    {
        if (env != environment)
            ++wrong_environment_seen;
        ++leaf_evaluations;
        out = (param && frame ? *frame_values(frame) : globals).at<T>(slot);
    }

    int slot;
    bool param;
};

template <typename T> test_leaf<T>* extern_leaf(int slot, uint32_t flags = 0)
{
    return new test_leaf<T>(slot, false, flags);
}
template <typename T> test_leaf<T>* param_leaf(int slot) { return new test_leaf<T>(slot, true); }

// The text a tree writes to a text_archive (the root is written directly,
// every other object through begin_object).
inline std::string archived(const node& root)
{
    string_base out;
    text_archive ar(out);
    root.serialize(ar);
    return out.c_str();
}

// The objects of an archived text by number (the root is 0): the tag of each
// one's class block and the objects it references.
struct archived_object {
    uint32_t tag = 0;
    bool tagged = false;
    std::vector<int> refs;
};

inline std::map<int, archived_object> archived_objects(const std::string& text)
{
    std::map<int, archived_object> objects;
    std::vector<int> open { 0 };
    std::istringstream lines(text);
    for (std::string line, word, name, more; std::getline(lines, line);) {
        std::istringstream in(line);
        in >> word >> name;
        archived_object& o = objects[open.back()];
        const bool numbered = name.size() > 1 && name[0] == '#';
        if (word == "block" && !o.tagged)
            o.tagged = bool(std::istringstream(name) >> std::hex >> o.tag);
        else if (word == "ref" && numbered)
            o.refs.push_back(std::stoi(name.substr(1)));
        else if (word == "object" && numbered && !(in >> more))
            open.push_back(std::stoi(name.substr(1)));
        else if (word == "end_object")
            open.pop_back();
    }
    return objects;
}

} // namespace node_test
