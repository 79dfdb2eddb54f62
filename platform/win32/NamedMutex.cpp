// The named system mutex that guards the bridge's temporary memory; shared by every add-in in the process.

#include "platform/win32/Win32.h"

namespace platform {

MutexHandle openNamedMutex(const char* name) {
    if (name == nullptr)
        return nullptr;
    // Creates it, or opens it when another caller already has (the call then succeeds with
    // ERROR_ALREADY_EXISTS); not owned on return either way.
    return CreateMutexA(nullptr, FALSE, name);
}

bool waitForMutex(MutexHandle mutex) {
    if (mutex == nullptr)
        return false;
    const DWORD result = WaitForSingleObject(mutex, INFINITE);
    // An abandoned mutex (its holder exited without releasing it) is still handed to this thread.
    return result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
}

void releaseMutex(MutexHandle mutex) {
    if (mutex != nullptr)
        ReleaseMutex(mutex);
}

void closeMutex(MutexHandle mutex) {
    if (mutex != nullptr)
        CloseHandle(mutex);
}

} // namespace platform
