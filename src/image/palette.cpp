#include "image/palette.h"

#include <cerrno>
#include <filesystem>
#include <algorithm>
#include <limits>

#include "image/palette_internal.h"
#include "image/run_time_error.h"

namespace plumage::image {
namespace {

// Largest JASC file read: a full palette of 4097 entries is under 64 KiB;
// anything near this size is not a palette.
constexpr std::uintmax_t kMaxJascBytes = 64u << 20;

// The dark set from index s (s itself left black) and the light set.
void DarkSet(std::vector<PaletteEntry>& e, std::size_t s) {
  static constexpr PaletteEntry kDark[7] = {{128, 0, 0},    {0, 128, 0},   {128, 128, 0},
                                            {0, 0, 128},    {128, 0, 128}, {0, 128, 128},
                                            {192, 192, 192}};
  for (std::size_t i = 0; i < 7; ++i) e[s + i] = kDark[i];  // entry s + 1 + i
}
void LightSet(std::vector<PaletteEntry>& e, std::size_t s) {
  static constexpr PaletteEntry kLight[8] = {{128, 128, 128}, {255, 0, 0},    {0, 255, 0},
                                             {255, 255, 0},   {0, 0, 255},    {255, 0, 255},
                                             {0, 255, 255},   {255, 255, 255}};
  for (std::size_t i = 0; i < 8; ++i) e[s - 1 + i] = kLight[i];  // entry s + i
}

// The run-time error for a file that could not be opened, read or written,
// numbered as the program's file errors are.
std::int32_t FileErrorNumber(const std::error_code& ec, bool reading) {
  if (ec == std::errc::no_such_file_or_directory)
    return reading ? errors::kFileNotFound : errors::kPathNotFound;
  if (ec == std::errc::permission_denied || ec == std::errc::operation_not_permitted ||
      ec == std::errc::read_only_file_system)
    return errors::kPermissionDenied;
  if (ec == std::errc::no_space_on_device) return errors::kDiskFull;
  if (ec == std::errc::io_error) return errors::kDeviceIo;
  return errors::kPathFileAccess;
}

// An item of a JASC colour line: a decimal number from 0 to 255.
bool ItemToByte(std::string_view item, std::uint8_t& value, std::int32_t& error) {
  if (item.empty()) {
    error = errors::kTypeMismatch;
    return false;
  }
  std::uint32_t v = 0;
  for (char c : item) {
    if (c < '0' || c > '9') {
      error = errors::kTypeMismatch;
      return false;
    }
    v = v * 10 + static_cast<std::uint32_t>(c - '0');
    if (v > 255) {
      // Digits all the way, but too large: still a number, so an overflow,
      // unless something other than a digit follows.
      for (char rest : item)
        if (rest < '0' || rest > '9') {
          error = errors::kTypeMismatch;
          return false;
        }
      error = errors::kOverflow;
      return false;
    }
  }
  value = static_cast<std::uint8_t>(v);
  return true;
}

}  // namespace

cPalette::cPalette(const ImageServices& services) : services_(services) {}
cPalette::~cPalette() = default;

// A copy takes the colours; the octree and the observers stay behind.
cPalette::cPalette(const cPalette& other) : services_(other.services_), entries_(other.entries_) {}
cPalette& cPalette::operator=(const cPalette& other) {
  if (this != &other) {
    services_ = other.services_;
    entries_ = other.entries_;
    Changed();
  }
  return *this;
}

const PaletteEntry& cPalette::At(std::int32_t iIndex) const {
  static const PaletteEntry kNone{};
  if (iIndex < 1 || iIndex > Count()) return kNone;
  return entries_[static_cast<std::size_t>(iIndex - 1)];
}

std::string cPalette::ErrorSource() const {
  return ExecutableName(services_) + ".cPalette";
}

void cPalette::Add(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue) {
  entries_.push_back(PaletteEntry{Red, Green, Blue, 0});
  Changed();
}

void cPalette::Clear() {
  entries_.clear();
  Changed();
}

std::int32_t cPalette::ClosestIndex(std::int32_t Red, std::int32_t Green, std::int32_t Blue) const {
  if (Red < 0 || Red > 255 || Green < 0 || Green > 255 || Blue < 0 || Blue > 255) {
    std::vector<PaletteRgb> colours;
    colours.reserve(entries_.size());
    for (const auto& e : entries_) colours.push_back(PaletteRgb{e.red, e.green, e.blue});
    return LinearClosestIndex(colours, Red, Green, Blue);
  }
  if (!nearest_) {
    std::vector<PaletteRgb> colours;
    colours.reserve(entries_.size());
    for (const auto& e : entries_) colours.push_back(PaletteRgb{e.red, e.green, e.blue});
    nearest_ = std::make_unique<NearestColour>(std::move(colours));
  }
  return nearest_->Find(static_cast<std::uint8_t>(Red), static_cast<std::uint8_t>(Green),
                        static_cast<std::uint8_t>(Blue));
}

void cPalette::CreateMono() {
  entries_.assign(2, PaletteEntry{});
  entries_[1] = PaletteEntry{255, 255, 255, 0};
  Changed();
}

void cPalette::Create16Colour() {
  entries_.assign(16, PaletteEntry{});
  DarkSet(entries_, 1);
  LightSet(entries_, 9);
  Changed();
}

void cPalette::CreateHalfTone() {
  static constexpr std::uint8_t kLevels[5] = {0, 64, 128, 192, 255};
  entries_.assign(256, PaletteEntry{});
  for (std::size_t b = 0; b < 5; ++b)
    for (std::size_t g = 0; g < 5; ++g)
      for (std::size_t r = 0; r < 5; ++r)
        entries_[r + 5 * g + 25 * b] = PaletteEntry{kLevels[r], kLevels[g], kLevels[b], 0};
  Changed();
}

void cPalette::CreateWebSafe() {
  entries_.assign(256, PaletteEntry{});
  DarkSet(entries_, 1);
  std::size_t i = 9;
  for (int b = 0; b < 6; ++b)
    for (int g = 0; g < 6; ++g)
      for (int r = 0; r < 6; ++r) {
        bool corner = (r == 0 || r == 5) && (g == 0 || g == 5) && (b == 0 || b == 5);
        if (corner) continue;
        entries_[i - 1] =
            PaletteEntry{static_cast<std::uint8_t>(51 * r), static_cast<std::uint8_t>(51 * g),
                         static_cast<std::uint8_t>(51 * b), 0};
        ++i;
      }
  for (int k = 1; k <= 31; ++k) {
    auto v = static_cast<std::uint8_t>(8 * k);
    entries_[static_cast<std::size_t>(216 + k - 1)] = PaletteEntry{v, v, v, 0};
  }
  LightSet(entries_, 248);
  Changed();
}

// ---- binary files --------------------------------------------------------------

bool cPalette::LoadFromBytes(std::span<const std::uint8_t> bytes, std::int32_t& lPosition) {
  if (lPosition < 1) lPosition = 0;
  std::size_t at = static_cast<std::size_t>(lPosition);
  return ReadBinary(at <= bytes.size() ? bytes.subspan(at) : std::span<const std::uint8_t>{},
                    lPosition);
}

bool cPalette::ReadBinary(std::span<const std::uint8_t> rest, std::int32_t& lPosition) {
  if (rest.size() < 4) return false;
  std::int32_t count = static_cast<std::int32_t>(
      static_cast<std::uint32_t>(rest[0]) | (static_cast<std::uint32_t>(rest[1]) << 8) |
      (static_cast<std::uint32_t>(rest[2]) << 16) | (static_cast<std::uint32_t>(rest[3]) << 24));
  if (count < 1 || count > kMaxFileCount) return false;
  const std::int64_t after = std::int64_t{lPosition} + 4 + 4 * std::int64_t{count};
  // A position the Long cannot hold: refuse before anything changes.
  if (after > std::numeric_limits<std::int32_t>::max()) return false;
  entries_.assign(static_cast<std::size_t>(count), PaletteEntry{});
  Changed();
  // Whatever bytes are there fill the entries, the last one maybe in part.
  std::size_t available =
      std::min<std::size_t>(rest.size() - 4, 4 * static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < available; ++i) {
    PaletteEntry& e = entries_[i / 4];
    std::uint8_t v = rest[4 + i];
    switch (i % 4) {
      case 0:
        e.red = v;
        break;
      case 1:
        e.green = v;
        break;
      case 2:
        e.blue = v;
        break;
      default:
        e.fourth = v;
        break;
    }
  }
  if (available < 4 * static_cast<std::size_t>(count)) return false;
  lPosition = static_cast<std::int32_t>(after);
  return true;
}

bool cPalette::Load(const std::string& sFileName) {
  std::int32_t position = 0;
  return Load(sFileName, position);
}

bool cPalette::Load(const std::string& sFileName, std::int32_t& lPosition) {
  if (lPosition < 1) lPosition = 0;
  // Only what one palette can take is kept: the count and 4097 entries
  // after the position. A binary palette file is small; more is not one.
  std::string whole;
  std::error_code why;
  if (!ReadInputFile(services_, sFileName, kMaxJascBytes, whole, why)) return false;
  const std::size_t from = std::min(whole.size(), static_cast<std::size_t>(lPosition));
  const std::size_t take = std::min(whole.size() - from, 4 + 4 * static_cast<std::size_t>(kMaxFileCount));
  std::vector<std::uint8_t> bytes(whole.begin() + static_cast<std::ptrdiff_t>(from),
                                  whole.begin() + static_cast<std::ptrdiff_t>(from + take));
  return ReadBinary(bytes, lPosition);
}

bool cPalette::Save(const std::string& sFileName, std::int32_t lPosition) {
  std::error_code ec;
  auto file = CreateOutputFile(services_, sFileName, ec);
  if (!file) return false;
  if (lPosition >= 1 && !file->Seek(static_cast<std::uint64_t>(lPosition))) return false;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(4 + 4 * entries_.size());
  const auto count = static_cast<std::uint32_t>(Count());
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>((count >> (8 * i)) & 0xFF));
  if (!file->Write(bytes.data(), 4)) return false;
  bytes.clear();
  for (const auto& e : entries_) {
    bytes.push_back(e.red);
    bytes.push_back(e.green);
    bytes.push_back(e.blue);
    bytes.push_back(e.fourth);
  }
  if (!file->Write(bytes.data(), bytes.size())) return false;
  return file->Commit();
}

// ---- JASC files -----------------------------------------------------------------

std::string cPalette::JASCText() const {
  std::string text = "JASC\r\n0100\r\n" + std::to_string(Count());
  for (const auto& e : entries_) {
    text += "\r\n";
    text += std::to_string(e.red);
    text += ' ';
    text += std::to_string(e.green);
    text += ' ';
    text += std::to_string(e.blue);
  }
  return text;
}

bool cPalette::SaveToJASCFile(const std::string& sFileName) {
  // The old file stays until the new one is complete, rather than being
  // deleted first: a failed write then loses nothing.
  const std::string text = JASCText();
  std::error_code ec;
  auto file = CreateOutputFile(services_, sFileName, ec);
  if (!file) {
    std::int32_t number = FileErrorNumber(ec, false);
    throw RunTimeError(number, ErrorSource(), errors::Text(number));
  }
  if (!file->Write(text.data(), text.size())) {
    std::int32_t number =
        file->LastError() == std::errc::no_space_on_device ? errors::kDiskFull : errors::kDeviceIo;
    throw RunTimeError(number, ErrorSource(), errors::Text(number));
  }
  if (!file->Commit()) {
    std::int32_t number = FileErrorNumber(file->LastError(), false);
    throw RunTimeError(number, ErrorSource(), errors::Text(number));
  }
  return true;
}

bool cPalette::LoadFromJASCFile(const std::string& sFileName) {
  Clear();
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(sFileName, ec))
    throw RunTimeError(errors::kPathFileAccess, ErrorSource(),
                       errors::Text(errors::kPathFileAccess));
  std::string text;
  std::error_code why;
  if (!ReadInputFile(services_, sFileName, kMaxJascBytes, text, why)) {
    std::int32_t number =
        why == std::errc::file_too_large ? errors::kOutOfMemory : FileErrorNumber(why, true);
    throw RunTimeError(number, ErrorSource(), errors::Text(number));
  }
  return LoadFromJASCText(text);
}

bool cPalette::LoadFromJASCText(std::string_view text) {
  Clear();
  // Lines end at every CR LF pair; items at every single space. Both splits
  // keep empty pieces and always give a last piece.
  std::size_t lineStart = 0;
  for (;;) {
    std::size_t lineEnd = text.find("\r\n", lineStart);
    std::string_view line =
        text.substr(lineStart, lineEnd == std::string_view::npos ? std::string_view::npos
                                                                 : lineEnd - lineStart);
    std::string_view items[3];
    std::size_t count = 0, itemStart = 0;
    for (;;) {
      std::size_t space = line.find(' ', itemStart);
      std::string_view item = line.substr(
          itemStart, space == std::string_view::npos ? std::string_view::npos : space - itemStart);
      if (count < 3) items[count] = item;
      ++count;
      if (space == std::string_view::npos) break;
      itemStart = space + 1;
    }
    if (count == 3) {
      entries_.push_back(PaletteEntry{});
      Changed();
      PaletteEntry& e = entries_.back();
      std::uint8_t* fields[3] = {&e.red, &e.green, &e.blue};
      for (std::size_t i = 0; i < 3; ++i) {
        std::int32_t error = 0;
        if (!ItemToByte(items[i], *fields[i], error))
          throw RunTimeError(error, ErrorSource(), errors::Text(error));
      }
    }
    if (lineEnd == std::string_view::npos) break;
    lineStart = lineEnd + 2;
  }
  return true;
}

}  // namespace plumage::image
