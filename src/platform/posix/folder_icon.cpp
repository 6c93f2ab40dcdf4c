#include "platform/posix/folder_icon.h"

#include <filesystem>
#include <vector>

namespace plumage::platform {

using formats::IconBitmap;
using formats::Rgba;
using formats::RgbaImage;

namespace {

constexpr std::string_view kSection = "[Desktop Entry]";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t nl = text.find('\n', start);
    if (nl == std::string::npos) nl = text.size();
    lines.push_back(text.substr(start, nl - start));
    start = nl + 1;
  }
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string Trimmed(const std::string& line) {
  std::size_t b = line.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  std::size_t e = line.find_last_not_of(" \t\r");
  return line.substr(b, e - b + 1);
}

// Where [Desktop Entry] begins and ends (the line after its last line), or
// false when the file has no such group.
bool FindSection(const std::vector<std::string>& lines, std::size_t& header, std::size_t& end) {
  for (header = 0; header < lines.size(); ++header)
    if (Trimmed(lines[header]) == kSection) break;
  if (header == lines.size()) return false;
  for (end = header + 1; end < lines.size(); ++end)
    if (Trimmed(lines[end]).starts_with("[")) break;
  return true;
}

bool IsIconLine(const std::string& line) {
  const std::string t = Trimmed(line);
  if (!t.starts_with("Icon")) return false;
  const std::size_t eq = t.find('=');
  // "Icon=" and "Icon =", not "Icon[fr]=" or "IconName=".
  return eq != std::string::npos && Trimmed(t.substr(0, eq)) == "Icon";
}

// KDE's configuration files escape a backslash and the line-breaking
// characters in a value.
std::string KdeValue(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out.push_back(c);
  }
  return out;
}

}  // namespace

std::string FolderIconPngName(const std::string& iconFile, std::int32_t index) {
  std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (unsigned char c : iconFile) {
    hash ^= c;
    hash *= 1099511628211ull;
  }
  std::string stem = std::filesystem::path(iconFile).stem().string();
  for (char& c : stem)
    if (c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
  if (stem.size() > 64) stem.resize(64);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  for (int shift = 60; shift >= 0; shift -= 4) hex.push_back(kHex[(hash >> shift) & 0xF]);
  return stem + "-" + std::to_string(index) + "-" + hex + ".png";
}

RgbaImage IconToRgba(const IconBitmap& icon) {
  RgbaImage image;
  image.width = icon.width;
  image.height = icon.height;
  const std::size_t n =
      static_cast<std::size_t>(icon.width) * static_cast<std::size_t>(icon.height);
  image.rgba.resize(n * 4);
  for (std::size_t i = 0; i < n && i < icon.color.size(); ++i) {
    const Rgba& c = icon.color[i];
    std::uint8_t alpha = c.a;
    if (!icon.hasAlpha) alpha = (i < icon.mask.size() && icon.mask[i]) ? 0 : 255;
    image.rgba[i * 4 + 0] = c.r;
    image.rgba[i * 4 + 1] = c.g;
    image.rgba[i * 4 + 2] = c.b;
    image.rgba[i * 4 + 3] = alpha;
  }
  return image;
}

std::string SetDirectoryIcon(const std::string& existing, const std::string& iconPath) {
  const std::string entry = "Icon=" + KdeValue(iconPath);
  std::vector<std::string> lines = Lines(existing);
  std::size_t header = 0, end = 0;
  if (!FindSection(lines, header, end)) {
    if (!lines.empty() && !Trimmed(lines.back()).empty()) lines.push_back("");
    lines.push_back(std::string(kSection));
    lines.push_back(entry);
    return Join(lines);
  }
  for (std::size_t i = header + 1; i < end; ++i)
    if (IsIconLine(lines[i])) {
      lines[i] = entry;
      return Join(lines);
    }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(header + 1), entry);
  return Join(lines);
}

std::string ClearDirectoryIcon(const std::string& existing, bool& changed) {
  changed = false;
  std::vector<std::string> lines = Lines(existing);
  std::size_t header = 0, end = 0;
  if (!FindSection(lines, header, end)) return existing;
  for (std::size_t i = header + 1; i < end; ++i)
    if (IsIconLine(lines[i])) {
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
      changed = true;
      break;
    }
  if (!changed) return existing;
  // A group left without keys goes, with the blank line that set it apart,
  // so that a file we added the group to is as it was before.
  --end;
  bool keys = false;
  for (std::size_t i = header + 1; i < end; ++i)
    if (!Trimmed(lines[i]).empty()) keys = true;
  if (!keys) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header),
                lines.begin() + static_cast<std::ptrdiff_t>(end));
    if (header > 0 && Trimmed(lines[header - 1]).empty())
      lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header - 1));
  }
  for (const std::string& line : lines)
    if (!Trimmed(line).empty()) return Join(lines);
  return std::string();  // nothing else in it: the file goes
}

}  // namespace plumage::platform
