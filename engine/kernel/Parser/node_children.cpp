// Writing the children of composite nodes to an archive (the part of
// serialize that every node with children shares).
#include "engine/kernel/Parser/node_children.h"

namespace parser {

void write_child_object(archive& ar, const node* child)
{
    if (!child)
        return;
    if (ar.begin_object(child).write) {
        child->serialize(ar);
        ar.end_object(child);
    }
}

void serialize_with_children(archive& ar, uint32_t tag, const uint64_t* layout, const node_exp& self,
    std::initializer_list<const node*> children)
{
    SClassBlockResult block = ar.begin_class_block(tag, layout, false, 1);
    self.node_exp::serialize(ar);
    for (const node* child : children)
        ar.write_ref(child);
    for (const node* child : children)
        write_child_object(ar, child);
    ar.end_class_block(block);
}

} // namespace parser
