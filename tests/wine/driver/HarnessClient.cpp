#include "HarnessClient.h"

#include <windows.h>

#include <fstream>
#include <iterator>

#include "Driver.h"

namespace kv::driver {

namespace {

constexpr char kRequestFolder[] = "C:\\kvharness\\";

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Hands one request (an operation and its argument line) to the harness and waits for its
// answer: true when the harness confirms that it did it.
bool Request(const std::string& operation, const std::string& argument) {
    static int counter = 0;
    const std::string id = std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    const std::string request = std::string(kRequestFolder) + "req-" + id + ".txt";
    const std::string done = std::string(kRequestFolder) + "done-" + id + ".txt";
    // Written under another name and renamed, so the harness never reads half a request.
    const std::string partial = request + ".part";
    {
        std::ofstream out(partial, std::ios::binary);
        out << operation << "\r\n" << argument << "\r\n";
        if (!out) return false;
    }
    if (!MoveFileExA(partial.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
    if (!WaitUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; },
                   Millis{10000})) {
        DeleteFileA(request.c_str());
        return false;
    }
    const std::string answer = ReadAll(done);
    DeleteFileA(done.c_str());
    return answer.rfind("0", 0) == 0;
}

}  // namespace

bool SetImmutable(const std::string& windowsPath, bool immutable) {
    return Request(immutable ? "+i" : "-i", windowsPath);
}

bool MapLargeTree(const std::string& tree) {
    return Request("map", "H: " + (tree.empty() ? std::string("-") : tree));
}

}  // namespace kv::driver
