// Test support for the expression nodes: the fixture that checks every node
// went back to the pool, literals, evaluation helpers, value comparison, test
// leaves that stand for parameters and extern variables, and an archive that
// records what serialize writes.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "engine/kernel/Parser/node.h"
#include "engine/kernel/Parser/node_pool.h"

namespace node_test {

using namespace parser;
using I = int32_t;
using F = float;
using S = string_base;

// Every test must give back every node it made.
class nodes_test : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(node_pool_live_count(), 0u) << "nodes leaked or released twice"; }
};

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
    test_leaf(int slot, bool param, uint32_t flags = 0)
        : slot(slot)
        , param(param)
    {
        this->flags = flags;
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

// Records every archive operation as one line; begin_object says "write" the
// first time it meets an object.
class recording_archive final : public archive {
public:
    std::vector<std::string> lines;
    std::map<const void*, int> ids;
    // For each object id: its class tag and the ids it referenced.
    std::map<int, uint32_t> tag_of;
    std::map<int, std::vector<int>> refs_of;

    int id(const void* p)
    {
        if (!p)
            return 0;
        auto [it, fresh] = ids.emplace(p, int(ids.size()) + 1);
        return it->second;
    }
    SClassBlockResult begin_class_block(uint32_t tag, const uint64_t* layout, bool root, int version) override
    {
        add("block " + hex(tag) + (root ? " root" : "") + " v" + std::to_string(version) + layout_name(layout));
        tag_of.emplace(current.back(), tag); // the first block of an object is its class block
        return { uint32_t(lines.size()) };
    }
    void end_class_block(SClassBlockResult) override { add("end"); }
    void write_ref(const void* p) override
    {
        add("ref " + std::to_string(id(p)));
        if (p && current.back() != id(p))
            refs_of[current.back()].push_back(id(p));
    }
    void write_int(int32_t v) override { add("int " + std::to_string(v)); }
    void write_uint(uint32_t v) override { add("uint " + std::to_string(v)); }
    void write_byte(uint8_t v) override { add("byte " + std::to_string(v)); }
    void write_bool(bool v) override { add(v ? "bool 1" : "bool 0"); }
    void write_float(float v) override { add("float " + std::to_string(v)); }
    void write_vec3(const vec3& v) override { add("vec3 " + std::to_string(v.x)); }
    void write_vec4(const vec4& v) override { add("vec4 " + std::to_string(v.x)); }
    void write_mtx44(const mtx44& v) override { add("mtx44 " + std::to_string(v.m[0])); }
    void write_string(const string_base& v) override { add("string " + std::string(v.c_str())); }
    void write_text(const char* t) override { add(std::string("text ") + t); }
    SObjectBlock begin_object(const void* p) override
    {
        bool fresh = !written.count(p);
        add("object " + std::to_string(id(p)) + (fresh ? " write" : " seen"));
        written[p] = true;
        if (fresh)
            current.push_back(id(p));
        return { fresh };
    }
    void end_object(const void* p) override
    {
        add("end object " + std::to_string(id(p)));
        current.pop_back();
    }
    // The root is serialized without begin_object.
    void start(const void* root)
    {
        current = { id(root) };
        written[root] = true;
    }

    std::map<const uint64_t*, std::string> layout_names;

private:
    std::vector<int> current;
    std::map<const void*, bool> written;
    void add(std::string s) { lines.push_back(std::move(s)); }
    std::string layout_name(const uint64_t* layout)
    {
        auto it = layout_names.find(layout);
        return it == layout_names.end() ? "" : " " + it->second;
    }
    static std::string hex(uint32_t v)
    {
        char text[16];
        std::snprintf(text, sizeof text, "0x%08x", v);
        return text;
    }
};

} // namespace node_test
