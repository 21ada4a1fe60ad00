// Runs a libFuzzer target over stored inputs with any compiler, so the plain and
// the sanitizer builds check every seed:
//   <target>_replay FILE|FOLDER...
// Each file, and each file under each folder (in name order), is handed to the
// target once, in a heap block of exactly its size as libFuzzer hands it, so a
// read past the end shows under the address sanitizer. A target reports a fault
// by aborting; an argument that names nothing, or no input at all, fails too.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Weak: only some targets set up state before the first input.
extern "C" [[gnu::weak]] int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

namespace fs = std::filesystem;

bool Collect(const fs::path& arg, std::vector<fs::path>& inputs) {
    std::error_code ec;
    if (fs::is_regular_file(arg, ec)) {
        inputs.push_back(arg);
        return true;
    }
    if (!fs::is_directory(arg, ec)) return false;
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(arg, ec))
        if (entry.is_regular_file(ec)) found.push_back(entry.path());
    std::sort(found.begin(), found.end());
    inputs.insert(inputs.end(), found.begin(), found.end());
    return !ec;
}

bool Replay(const fs::path& input) {
    std::ifstream in(input, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad()) return false;
    auto data = std::make_unique<uint8_t[]>(bytes.size());
    std::copy(bytes.begin(), bytes.end(), data.get());
    // Named before the run, so a crash's report says which input it was.
    std::fprintf(stderr, "%s (%zu bytes)\n", input.c_str(), bytes.size());
    LLVMFuzzerTestOneInput(data.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    // A toolkit's application object may keep a reference to these, so they are
    // main's own.
    if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!Collect(argv[i], inputs)) {
            std::fprintf(stderr, "%s: no file or folder %s\n", argv[0], argv[i]);
            return 2;
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "%s: no inputs to replay\n", argv[0]);
        return 2;
    }
    for (const fs::path& input : inputs) {
        if (!Replay(input)) {
            std::fprintf(stderr, "%s: cannot read %s\n", argv[0], input.c_str());
            return 2;
        }
    }
    std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    return 0;
}
