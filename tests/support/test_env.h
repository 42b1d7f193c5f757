#pragma once
// Environment variables and scratch folders in tests, the same way on Linux and Windows.
#include <filesystem>

namespace orv::test {

void SetEnv(const char* name, const char* value);
void UnsetEnv(const char* name);
// A new empty folder below the system's temporary folder, named stem and a unique suffix.
std::filesystem::path MakeTempFolder(const char* stem);

}  // namespace orv::test
