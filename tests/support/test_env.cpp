#include "support/test_env.h"

#include <cstdlib>
#include <string>
#ifdef _WIN32
#include <process.h>

#include <atomic>
#else
#include <unistd.h>
#endif

namespace orv::test {

#ifdef _WIN32
void SetEnv(const char* name, const char* value) {
  ::_putenv_s(name, value);
}
void UnsetEnv(const char* name) {
  ::_putenv_s(name, "");  // an empty value removes the variable
}
std::filesystem::path MakeTempFolder(const char* stem) {
  static std::atomic<unsigned> counter{0};
  for (;;) {
    const auto dir =
        std::filesystem::temp_directory_path() /
        (std::string(stem) + std::to_string(::_getpid()) + "_" + std::to_string(counter++));
    if (std::filesystem::create_directory(dir)) return dir;
  }
}
#else
void SetEnv(const char* name, const char* value) {
  ::setenv(name, value, 1);
}
void UnsetEnv(const char* name) {
  ::unsetenv(name);
}
std::filesystem::path MakeTempFolder(const char* stem) {
  std::string tmpl = (std::filesystem::temp_directory_path() / stem).string() + "XXXXXX";
  return ::mkdtemp(tmpl.data()) != nullptr ? std::filesystem::path(tmpl) : std::filesystem::path();
}
#endif

}  // namespace orv::test
