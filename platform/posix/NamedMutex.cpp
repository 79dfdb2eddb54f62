// Stand-ins for named mutexes: a process-wide registry of recursive mutexes, one per name, which lives as
// long as a handle to it is open.

#include "platform/Platform.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>

namespace platform {
namespace {

struct NamedMutex {
    std::string name;
    std::recursive_mutex mutex; // a Windows mutex may be taken again by the thread that holds it
    int handles = 0;
};

struct Registry {
    std::mutex lock;
    std::map<std::string, std::unique_ptr<NamedMutex>> byName;
};

Registry& registry() {
    // Never destroyed: handles may be closed during process exit. Built in static storage rather than on the
    // heap, so that unloading the add-in leaves no block behind for a leak checker to report.
    alignas(Registry) static unsigned char storage[sizeof(Registry)];
    static Registry* instance = new (storage) Registry;
    return *instance;
}

} // namespace

MutexHandle openNamedMutex(const char* name) {
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    std::unique_ptr<NamedMutex>& entry = r.byName[name];
    if (!entry) {
        entry = std::make_unique<NamedMutex>();
        entry->name = name;
    }
    ++entry->handles;
    return entry.get();
}

bool waitForMutex(MutexHandle mutex) {
    if (mutex == nullptr)
        return false;
    static_cast<NamedMutex*>(mutex)->mutex.lock();
    return true;
}

void releaseMutex(MutexHandle mutex) {
    if (mutex != nullptr)
        static_cast<NamedMutex*>(mutex)->mutex.unlock();
}

void closeMutex(MutexHandle mutex) {
    if (mutex == nullptr)
        return;
    auto* named = static_cast<NamedMutex*>(mutex);
    Registry& r = registry();
    std::lock_guard<std::mutex> guard(r.lock);
    if (--named->handles == 0)
        r.byName.erase(named->name);
}

} // namespace platform
