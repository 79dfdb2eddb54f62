// Thread-local slots as Windows TLS indexes: the system zeroes an index in every thread when it is
// allocated, so a reused index never shows a value of its previous owner.

#include "platform/win32/Win32.h"

namespace platform {

ThreadSlot allocateThreadSlot() {
    const DWORD index = TlsAlloc();
    return index == TLS_OUT_OF_INDEXES ? kNoThreadSlot : static_cast<ThreadSlot>(index);
}

void* threadSlotValue(ThreadSlot slot) {
    return slot == kNoThreadSlot ? nullptr : TlsGetValue(static_cast<DWORD>(slot));
}

void setThreadSlotValue(ThreadSlot slot, void* value) {
    if (slot != kNoThreadSlot)
        TlsSetValue(static_cast<DWORD>(slot), value);
}

void freeThreadSlot(ThreadSlot slot) {
    if (slot != kNoThreadSlot)
        TlsFree(static_cast<DWORD>(slot));
}

} // namespace platform
