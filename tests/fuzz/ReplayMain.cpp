// Runs a fuzz target's check on each file named on the command line, without libFuzzer: the
// kept regression inputs become ordinary test cases of the main build (and of its sanitizer
// build). The check aborts on a fault; reaching the end is a pass.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        const std::vector<std::uint8_t> input((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(input.data(), input.size());
        std::printf("%s: ok\n", argv[i]);
    }
    return 0;
}
