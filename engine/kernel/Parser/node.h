// The node model: node -> node_exp -> node_expr<T> -> node_val<T>. Every node is
// reference counted (refs starts at 1), lives in a node-pool slot and owns one
// reference to each child.
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "engine/kernel/Parser/archive.h"
#include "engine/kernel/Parser/node_pool.h"
#include "engine/kernel/Parser/value_types.h"

namespace parser {

struct call_frame;

// Layouts handed to the archive with each class block.
extern const uint64_t node_layout[];
extern const uint64_t node_exp_layout[];
extern const uint64_t string_layout[];

class node {
public:
    node() = default;
    node(const node&) = delete;
    node& operator=(const node&) = delete;
    virtual ~node() = default; // slot 0
    virtual void serialize(archive& ar) const; // slot 1

    static void* operator new(size_t size) { return node_allocate(size); }
    static void operator delete(void* p) { node_release(p); }

    void add_ref() { ++refs; }
    // Drops one reference; the node is destroyed when refs falls below 1.
    void release()
    {
        if (--refs < 1)
            delete this;
    }

    void* link = nullptr; // never read by the expression layer
    int32_t refs = 1;
};

class node_exp : public node {
public:
    void serialize(archive& ar) const override;
    // Consumes the caller's reference and returns a reference to the folded node.
    virtual node_exp* optimize(bool params_fixed, void* environment) = 0; // slot 2

    uint32_t flags = 0;
};

template <typename T> class node_val;

template <typename T> class node_expr : public node_exp {
public:
    using value_type = T;

    node_exp* optimize(bool params_fixed, void* environment) override
    {
        if (fold_constants(params_fixed, environment))
            return make_value(true, nullptr, environment);
        return this;
    }
    // A new reference to the residual tree under frame, or null when the value
    // is fully determined under frame.
    virtual node_expr* bind(call_frame* frame, void* environment) = 0; // slot 3
    virtual void evaluate(void* ctx, T& out, call_frame* frame, void* environment) = 0; // slot 4
    // True when the whole subtree is constant; folds constant children in place.
    virtual bool fold_constants(bool, void*) { return false; } // slot 5
    virtual node_val<T>* make_value(bool release, call_frame* frame, void* environment); // slot 6
};

template <typename T> class node_val : public node_expr<T> {
public:
    static constexpr uint32_t class_tag = uint32_t(type_number_v<T>) << 24;

    node_val()
        : value(initial_value<T>())
    {
    }
    explicit node_val(const T& v)
        : value(v)
    {
    }
    // A string made for the constant moves in without another copy.
    explicit node_val(T&& v)
        : value(std::move(v))
    {
    }

    void serialize(archive& ar) const override;
    node_exp* optimize(bool, void*) override { return this; }
    node_expr<T>* bind(call_frame*, void*) override { return nullptr; }
    void evaluate(void*, T& out, call_frame*, void*) override { out = value; }
    bool fold_constants(bool, void*) override { return true; }
    node_val<T>* make_value(bool release, call_frame*, void*) override
    {
        if (!release)
            this->add_ref();
        return this;
    }

    T value;
};

// The type number of what an expression evaluates to, or -1 for a node of no
// value type.
inline int value_type_of(node_exp* e)
{
    int number = -1;
    for_each_type([&](auto tag) {
        using T = typename decltype(tag)::type;
        if (number < 0 && dynamic_cast<node_expr<T>*>(e))
            number = type_number_v<T>;
    });
    return number;
}

template <typename T> node_val<T>* node_expr<T>::make_value(bool release, call_frame* frame, void* environment)
{
    node_val<T>* constant = new node_val<T>();
    evaluate(nullptr, constant->value, frame, environment);
    if (release)
        this->release();
    return constant;
}

// Writes one value with the archive operation of its type.
void write_value(archive& ar, bool v);
void write_value(archive& ar, int32_t v);
void write_value(archive& ar, float v);
void write_value(archive& ar, const vec3& v);
void write_value(archive& ar, const vec4& v);
void write_value(archive& ar, const mtx44& v);
void write_value(archive& ar, const string_base& v);

// The layout of node_val<T>: base node_exp, then the value's field code.
template <typename T> const uint64_t* node_val_layout();

template <typename T> void node_val<T>::serialize(archive& ar) const
{
    SClassBlockResult block = ar.begin_class_block(class_tag, node_val_layout<T>(), false, 1);
    node_exp::serialize(ar);
    write_value(ar, value);
    ar.end_class_block(block);
}

} // namespace parser
