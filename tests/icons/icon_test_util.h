// Helpers of the icon tests: files, the test PE files.
#pragma once

#include <filesystem>
#include <string>

#include "support/icon_writer.h"
#include "support/temp_dir.h"

namespace plumage::test {

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// The folder of the real Windows files the build makes (pe_test_files.cmake).
inline std::string PeDir() {
  return PLUMAGE_TEST_PE_DIR;
}

}  // namespace plumage::test
