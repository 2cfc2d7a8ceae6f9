// Field layouts of the expression families above node_val<T> (operators,
// selection, extraction, vector constructors), handed to the archive with each
// class block. The base layouts are declared in node.h.
#pragma once

#include <cstdint>

namespace parser {

extern const uint64_t node_op1_layout[]; // node_exp, one reference
extern const uint64_t node_op2_layout[]; // node_exp, two references
extern const uint64_t node_op3_layout[]; // node_exp, three references
extern const uint64_t node_select_layout[]; // node_exp, three references
extern const uint64_t node_extract_layout[]; // node_exp, one reference, int32 index
extern const uint64_t node_vec3_layout[]; // node_exp, array of 3 references
extern const uint64_t node_vec4_layout[]; // node_exp, array of 4 references, one reference

} // namespace parser
