// Thread-local slots as POSIX thread-specific keys, created without a destructor.

#include "platform/Platform.h"

#include <pthread.h>

namespace platform {

ThreadSlot allocateThreadSlot() {
    pthread_key_t key;
    if (pthread_key_create(&key, nullptr) != 0)
        return kNoThreadSlot;
    return static_cast<ThreadSlot>(key);
}

void* threadSlotValue(ThreadSlot slot) {
    return slot == kNoThreadSlot ? nullptr : pthread_getspecific(static_cast<pthread_key_t>(slot));
}

void setThreadSlotValue(ThreadSlot slot, void* value) {
    if (slot != kNoThreadSlot)
        pthread_setspecific(static_cast<pthread_key_t>(slot), value);
}

void freeThreadSlot(ThreadSlot slot) {
    if (slot != kNoThreadSlot)
        pthread_key_delete(static_cast<pthread_key_t>(slot));
}

} // namespace platform
