// Subtree lifetime: the body's statements go with the last reference.
#include "engine/kernel/Parser/subtree.h"

#include "engine/kernel/Parser/statements.h"

namespace parser {

subtree::subtree(const char* subtree_name)
    : name(subtree_name)
{
}

subtree::~subtree() { release_statements(statements); }

void subtree::release()
{
    if (--refs < 1)
        delete this;
}

} // namespace parser
