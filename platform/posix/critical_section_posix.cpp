// Critical sections over pthread mutexes (recursive, like CRITICAL_SECTION).
#include "platform/critical_section.h"

#include <pthread.h>

namespace platform {

static_assert(sizeof(pthread_mutex_t) <= sizeof(critical_section::storage));

static pthread_mutex_t* mutex_of(critical_section* section)
{
    return reinterpret_cast<pthread_mutex_t*>(section->storage);
}

void initialize_critical_section(critical_section* section)
{
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(mutex_of(section), &attributes);
    pthread_mutexattr_destroy(&attributes);
}

void delete_critical_section(critical_section* section) { pthread_mutex_destroy(mutex_of(section)); }
void enter_critical_section(critical_section* section) { pthread_mutex_lock(mutex_of(section)); }
void leave_critical_section(critical_section* section) { pthread_mutex_unlock(mutex_of(section)); }

} // namespace platform
