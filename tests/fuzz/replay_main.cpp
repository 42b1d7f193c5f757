// Replays a fuzz corpus (every file of a folder, or the files named) through the target once, so
// that ctest keeps the inputs that once found faults passing.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

static void RunFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

int main(int argc, char** argv) {
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    std::filesystem::path p(argv[i]);
    if (std::filesystem::is_directory(p)) {
      for (const auto& e : std::filesystem::directory_iterator(p)) {
        if (e.is_regular_file()) {
          RunFile(e.path());
          ++count;
        }
      }
    } else if (std::filesystem::exists(p)) {
      RunFile(p);
      ++count;
    }
  }
  // Also the empty input, which every parser must take.
  LLVMFuzzerTestOneInput(nullptr, 0);
  std::printf("replayed %d inputs\n", count);
  if (count == 0) {
    // A moved or emptied corpus folder must not look like a pass.
    std::fprintf(stderr, "no corpus inputs found\n");
    return 1;
  }
  return 0;
}
