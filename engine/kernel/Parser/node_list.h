// Doubly linked lists whose elements come from a list node pool: one pool for
// statement lists, one for the argument lists of function statements. A pool
// lives while at least one list of its kind exists.
#pragma once

#include <cstdint>

namespace parser {

class node_exp;
class node_statement;

// A list element as it sits in its 32-byte pool slot after the owner header.
struct list_element {
    list_element* next;
    list_element* prev;
    void* payload; // the owned object
};

// The static allocator record of one list element kind.
struct list_allocator;
list_allocator& statement_list_allocator();
list_allocator& argument_list_allocator();

// Attach / detach a list to its kind's pool (the last detach frees the pool).
void list_attach(list_allocator& allocator);
void list_detach(list_allocator& allocator);
list_element* list_element_allocate(list_allocator& allocator);
void list_element_release(list_allocator& allocator, list_element* element);

// Inspection, for tests.
bool list_pool_exists(list_allocator& allocator);
uint32_t list_pool_live_count(list_allocator& allocator);
uint32_t list_pool_block_count(list_allocator& allocator);

// A list of owned T pointers. The owner releases the payloads before clear();
// the list itself only manages its elements.
template <typename T, list_allocator& (*Allocator)()> class pool_list {
public:
    pool_list()
        : allocator_(&Allocator())
    {
        list_attach(*allocator_);
    }
    ~pool_list()
    {
        clear();
        list_detach(*allocator_);
    }
    pool_list(const pool_list&) = delete;
    pool_list& operator=(const pool_list&) = delete;

    void push_back(T* payload)
    {
        list_element* e = list_element_allocate(*allocator_);
        e->payload = payload;
        e->next = nullptr;
        e->prev = tail_;
        if (tail_)
            tail_->next = e;
        else
            head_ = e;
        tail_ = e;
        ++count_;
    }

    // Frees the elements from the tail; payloads must have been released.
    void clear()
    {
        while (count_ > 0) {
            list_element* e = tail_;
            tail_ = e->prev;
            if (tail_)
                tail_->next = nullptr;
            else
                head_ = nullptr;
            list_element_release(*allocator_, e);
            --count_;
        }
    }

    list_element* first() const { return head_; }
    list_element* last() const { return tail_; }
    uint32_t size() const { return count_; }
    bool empty() const { return count_ == 0; }
    static T* payload(const list_element* e) { return static_cast<T*>(e->payload); }

    // Calls f(T*&) for each payload in order; f may replace the payload.
    template <typename F> void for_each(F&& f)
    {
        for (list_element* e = head_; e; e = e->next) {
            T* p = payload(e);
            f(p);
            e->payload = p;
        }
    }

private:
    list_allocator* allocator_;
    list_element* head_ = nullptr;
    list_element* tail_ = nullptr;
    uint32_t count_ = 0;
};

using statement_list = pool_list<node_statement, statement_list_allocator>;
using argument_list = pool_list<node_exp, argument_list_allocator>;

} // namespace parser
