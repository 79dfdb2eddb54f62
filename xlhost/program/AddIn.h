#pragma once

// The add-in as the host loads it: a library found by file name, its exports found by name.

#include <memory>
#include <string>

namespace xlhost {

class AddIn {
public:
    // Null and a message when the library does not load.
    static std::unique_ptr<AddIn> load(const std::string& fileName, std::string& error);
    ~AddIn();
    AddIn(const AddIn&) = delete;
    AddIn& operator=(const AddIn&) = delete;

    void* symbol(const std::string& name) const;
    // The full file name of the loaded library, as the host reports it to the add-in.
    const std::string& fullName() const { return fullName_; }

private:
    AddIn(void* handle, std::string fullName) : handle_(handle), fullName_(std::move(fullName)) {}
    void* handle_;
    std::string fullName_;
};

// The running program's own file name; empty when unknown.
std::string executableFile();
// The file name of the add-in xlhost loads when none is given: "tavrin_schedules.xll" beside the program
// when it is there, else the one the build configured.
std::string defaultAddIn();

} // namespace xlhost
