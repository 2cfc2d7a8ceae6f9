// The frame a parameter is evaluated in: the argument table of the call the
// reader entered, and the caller's frame (null at the outermost level).
#pragma once

namespace parser {

class variable_table;

struct call_frame {
    variable_table* arguments;
    call_frame* parent;
};

} // namespace parser
