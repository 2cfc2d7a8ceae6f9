// What every fuzz target checks after an input: the node pool and the list
// pools are empty again once every root was released.
#pragma once

#include <cstdlib>

#include "engine/kernel/Parser/node_list.h"
#include "engine/kernel/Parser/node_pool.h"

inline void check_everything_released()
{
    if (parser::node_pool_live_count() != 0)
        std::abort(); // a node outlived its unit
    if (parser::list_pool_exists(parser::statement_list_allocator())
        || parser::list_pool_exists(parser::argument_list_allocator()))
        std::abort(); // a statement or argument list outlived its unit
}
