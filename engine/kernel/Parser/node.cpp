// The node base: every field layout of the expression layer, serialize of the
// node and node_exp parts, and the value writers of node_val<T>.
#include "engine/kernel/Parser/node.h"

#include <type_traits>

#include "engine/kernel/Parser/node_layouts.h"

namespace parser {

namespace {

// A base-class or string entry is followed by the address of its layout.
uint64_t address_of(const uint64_t* layout) { return reinterpret_cast<uintptr_t>(layout); }

} // namespace

const uint64_t node_layout[] = { field::vtable, field::object_ref, field::int32, 0 };
const uint64_t node_exp_layout[] = { field::base, address_of(node_layout), field::uint32, 0 };
const uint64_t string_layout[] = { field::object_ref, field::uint32, field::uint32, 0 };

const uint64_t node_op1_layout[] = { field::base, address_of(node_exp_layout), field::object_ref, 0 };
const uint64_t node_op2_layout[]
    = { field::base, address_of(node_exp_layout), field::object_ref, field::object_ref, 0 };
const uint64_t node_op3_layout[]
    = { field::base, address_of(node_exp_layout), field::object_ref, field::object_ref, field::object_ref, 0 };
const uint64_t node_select_layout[]
    = { field::base, address_of(node_exp_layout), field::object_ref, field::object_ref, field::object_ref, 0 };
const uint64_t node_extract_layout[] = { field::base, address_of(node_exp_layout), field::object_ref, field::int32, 0 };
const uint64_t node_vec3_layout[] = { field::base, address_of(node_exp_layout), field::ref_array3, 0 };
const uint64_t node_vec4_layout[]
    = { field::base, address_of(node_exp_layout), field::ref_array4, field::object_ref, 0 };

// The value field of node_val<T>; a string is described by its own layout.
template <typename T> constexpr uint64_t value_field();
template <> constexpr uint64_t value_field<bool>() { return field::boolean; }
template <> constexpr uint64_t value_field<int32_t>() { return field::int32; }
template <> constexpr uint64_t value_field<float>() { return field::float32; }
template <> constexpr uint64_t value_field<vec3>() { return field::vec3; }
template <> constexpr uint64_t value_field<vec4>() { return field::vec4; }
template <> constexpr uint64_t value_field<mtx44>() { return field::mtx44; }

template <typename T> const uint64_t* node_val_layout()
{
    static_assert(sizeof(node_val<T>) <= node_slot_payload, "a node must fit one node-pool slot");
    if constexpr (std::is_same_v<T, string_base>) {
        static const uint64_t layout[]
            = { field::base, address_of(node_exp_layout), field::string, address_of(string_layout), 0 };
        return layout;
    } else {
        static const uint64_t layout[] = { field::base, address_of(node_exp_layout), value_field<T>(), 0 };
        return layout;
    }
}

template const uint64_t* node_val_layout<bool>();
template const uint64_t* node_val_layout<int32_t>();
template const uint64_t* node_val_layout<float>();
template const uint64_t* node_val_layout<vec3>();
template const uint64_t* node_val_layout<vec4>();
template const uint64_t* node_val_layout<mtx44>();
template const uint64_t* node_val_layout<string_base>();

void node::serialize(archive& ar) const
{
    SClassBlockResult block = ar.begin_class_block(0, node_layout, true, 1);
    ar.write_ref(nullptr); // link
    ar.write_int(1); // refs: an archived node is always read back with one reference
    ar.end_class_block(block);
}

void node_exp::serialize(archive& ar) const
{
    SClassBlockResult block = ar.begin_class_block(0, node_exp_layout, false, 1);
    node::serialize(ar);
    ar.write_uint(flags);
    ar.end_class_block(block);
}

void write_value(archive& ar, bool v) { ar.write_bool(v); }
void write_value(archive& ar, int32_t v) { ar.write_int(v); }
void write_value(archive& ar, float v) { ar.write_float(v); }
void write_value(archive& ar, const vec3& v) { ar.write_vec3(v); }
void write_value(archive& ar, const vec4& v) { ar.write_vec4(v); }
void write_value(archive& ar, const mtx44& v) { ar.write_mtx44(v); }
void write_value(archive& ar, const string_base& v) { ar.write_string(v); }

} // namespace parser
