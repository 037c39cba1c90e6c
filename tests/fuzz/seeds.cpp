// Without libFuzzer: every file of the directory named, through the fuzzer's checks, which trap on a miss.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int, char** argv) {
  for (const auto& seed : std::filesystem::directory_iterator(argv[1])) {
    std::printf("%s\n", seed.path().c_str());
    std::ifstream file(seed.path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
}
