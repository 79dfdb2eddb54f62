#pragma once

// Runs a built program as a user would, from a shell, and keeps what it printed on each stream.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include <sys/wait.h>

namespace testing_support {

struct ProgramRun {
    int exitCode = -1; // -1: ended by a signal
    std::string out;
    std::string err;
};

// A folder of its own for a test's files, removed at the end.
class ScratchFolder {
public:
    ScratchFolder() {
        std::random_device seed;
        path_ = std::filesystem::temp_directory_path() / ("tavrin-test-" + std::to_string(seed()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream(file(name), std::ios::binary) << bytes;
        return file(name);
    }
    std::string read(const std::string& name) const {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path path_;
};

// A word for the shell, quoted.
inline std::string shellWord(const std::string& word) {
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs "program arguments" (arguments already shell words) with the standard input read from the given
// bytes.
inline ProgramRun runProgram(const std::string& program, const std::string& arguments,
                             const std::string& input = {}) {
    ScratchFolder folder;
    const std::string in = folder.write("stdin", input);
    const std::string command = shellWord(program) + " " + arguments + " <" + shellWord(in) + " >" +
                                shellWord(folder.file("stdout")) + " 2>" + shellWord(folder.file("stderr"));
    const int status = std::system(command.c_str());
    ProgramRun run;
    if (status != -1 && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    run.out = folder.read("stdout");
    run.err = folder.read("stderr");
    return run;
}

} // namespace testing_support
