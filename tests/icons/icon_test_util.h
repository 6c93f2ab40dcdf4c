// Helpers of the icon tests: spans, files, the test PE files, surfaces.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <string>

#include "base/surface.h"
#include "support/icon_writer.h"
#include "support/temp_dir.h"

namespace plumage::test {

inline std::span<const std::uint8_t> Span(const Bytes& b) {
  return {b.data(), b.size()};
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// The folder of the real Windows files the build makes (pe_test_files.cmake).
inline std::string PeDir() {
  return PLUMAGE_TEST_PE_DIR;
}

// Two surfaces pixel for pixel, naming the first difference.
inline ::testing::AssertionResult SameSurface(const plumage::Surface24& is,
                                              const plumage::Surface24& expected) {
  if (is.width() != expected.width() || is.height() != expected.height())
    return ::testing::AssertionFailure() << "size " << is.width() << "x" << is.height();
  for (int y = 0; y < is.height(); ++y)
    for (int x = 0; x < is.width(); ++x)
      if (!(is.At(x, y) == expected.At(x, y)))
        return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") differs";
  return ::testing::AssertionSuccess();
}

}  // namespace plumage::test
