#include "platform/profile_engine.h"

#include <algorithm>

#include "platform/codepage.h"

namespace plumage::platform {
namespace {

constexpr std::size_t npos = std::string::npos;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view CutAtNul(std::string_view text) {
  std::size_t nul = text.find('\0');
  return nul == npos ? text : text.substr(0, nul);
}

std::string Upper(std::string_view ansi) {
  std::string out(ansi);
  for (char& c : out) c = static_cast<char>(UpperAnsi(static_cast<unsigned char>(c)));
  return out;
}

char ToAnsi(char32_t cp) {
  int b = CodePointToAnsi(cp);
  return b < 0 ? '?' : static_cast<char>(b);
}

}  // namespace

std::uint32_t CopyToProfileBuffer(std::string_view value, std::span<char> buffer) {
  if (buffer.empty()) return 0;
  value = CutAtNul(value);
  std::size_t n = std::min(value.size(), buffer.size() - 1);
  std::copy_n(value.data(), n, buffer.data());
  buffer[n] = '\0';
  return static_cast<std::uint32_t>(n);
}

ProfileText::ProfileText(std::string_view bytes) : bytes_(bytes) { Decode(); }

void ProfileText::Decode() {
  const std::string_view b = bytes_;
  std::size_t i = 0;
  if (b.size() >= 2 && static_cast<unsigned char>(b[0]) == 0xFF &&
      static_cast<unsigned char>(b[1]) == 0xFE) {
    encoding_ = ProfileEncoding::Utf16Le;
    i = 2;
    while (i < b.size()) {
      offsets_.push_back(static_cast<std::uint32_t>(i));
      if (b.size() - i < 2) {  // half a character at the end
        oddTail_ = true;
        decoded_.push_back('?');
        i = b.size();
        break;
      }
      char32_t unit =
          static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8);
      i += 2;
      if (unit >= 0xD800 && unit <= 0xDBFF && b.size() - i >= 2) {
        char32_t low =
            static_cast<unsigned char>(b[i]) | (static_cast<unsigned char>(b[i + 1]) << 8);
        if (low >= 0xDC00 && low <= 0xDFFF) i += 2;  // a pair: one character beyond the code page
        decoded_.push_back('?');
        continue;
      }
      decoded_.push_back(ToAnsi(unit));
    }
  } else if (b.size() >= 3 && static_cast<unsigned char>(b[0]) == 0xEF &&
             static_cast<unsigned char>(b[1]) == 0xBB && static_cast<unsigned char>(b[2]) == 0xBF) {
    encoding_ = ProfileEncoding::Utf8;
    i = 3;
    while (i < b.size()) {
      offsets_.push_back(static_cast<std::uint32_t>(i));
      char32_t cp = 0;
      std::size_t len = DecodeUtf8(b, i, cp);
      if (len == 0) {
        decoded_.push_back('?');
        ++i;
      } else {
        decoded_.push_back(ToAnsi(cp));
        i += len;
      }
    }
  } else {
    // Windows-1252: a unit is a byte, and the bytes are the view.
    view_ = bytes_;
    return;
  }
  offsets_.push_back(static_cast<std::uint32_t>(b.size()));
  view_ = decoded_;
}

ProfileText::Line ProfileText::LineAt(std::size_t pos) const {
  const std::string_view v = view_;
  Line line;
  line.begin = pos;
  std::size_t end = v.find_first_of("\r\n", pos);
  if (end == npos) end = v.size();
  line.end = end;
  std::size_t next = end;
  if (next < v.size()) {
    if (v[next] == '\r' && next + 1 < v.size() && v[next + 1] == '\n')
      next += 2;
    else
      ++next;
  }
  line.next = next;
  line.equals = npos;

  std::size_t p = pos;
  while (p < end && IsBlank(v[p])) ++p;
  auto name = [&](std::size_t from, std::size_t to) {
    while (from < to && IsBlank(v[from])) ++from;
    while (to > from && IsBlank(v[to - 1])) --to;
    line.nameBegin = from;
    line.nameEnd = to;
  };
  if (p == end) {
    line.kind = Kind::Blank;
  } else if (v[p] == ';') {
    line.kind = Kind::Comment;
  } else if (std::size_t close = v.substr(p, end - p).find(']'); v[p] == '[' && close != npos) {
    line.kind = Kind::Section;
    name(p + 1, p + close);
  } else {
    line.kind = Kind::Key;
    std::size_t eq = v.substr(p, end - p).find('=');
    if (eq != npos) line.equals = p + eq;
    name(p, eq == npos ? end : p + eq);
  }
  return line;
}

bool ProfileText::NameIs(const Line& line, std::string_view upperName) const {
  if (line.nameEnd - line.nameBegin != upperName.size()) return false;
  for (std::size_t i = 0; i < upperName.size(); ++i)
    if (UpperAnsi(static_cast<unsigned char>(view_[line.nameBegin + i])) !=
        static_cast<unsigned char>(upperName[i]))
      return false;
  return true;
}

ProfileText::Place ProfileText::Locate(std::string_view section, std::string_view key) const {
  Place place;
  const std::string sectionName = Upper(Trim(section));
  const std::string keyName = Upper(Trim(key));
  bool inSection = false;
  bool sectionDone = false;
  for (std::size_t pos = 0; pos < view_.size();) {
    Line line = LineAt(pos);
    pos = line.next;
    place.last = line;
    if (line.kind == Kind::Section) {
      if (inSection) sectionDone = true;
      inSection = false;
      if (!place.section && NameIs(line, sectionName)) {
        place.section = line;
        place.lastKey = line;
        inSection = true;
      }
      continue;
    }
    if (!inSection || sectionDone || line.kind != Kind::Key) continue;
    place.lastKey = line;
    if (!place.key && NameIs(line, keyName)) place.key = line;
  }
  return place;
}

std::string ProfileText::ValueOf(const Line& line) const {
  std::string_view v = view_;
  return std::string(Trim(v.substr(line.equals + 1, line.end - line.equals - 1)));
}

std::optional<std::string> ProfileText::Find(std::string_view section, std::string_view key) const {
  Place place = Locate(section, key);
  if (!place.key || place.key->equals == npos) return std::nullopt;
  std::string value = ValueOf(*place.key);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(CutAtNul(value));
}

std::uint32_t ProfileText::GetString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, std::span<char> buffer) const {
  if (auto value = Find(section, key)) return CopyToProfileBuffer(*value, buffer);
  return CopyToProfileBuffer(TrimRight(CutAtNul(defaultValue)), buffer);
}

std::string ProfileText::Encode(std::string_view ansi) const {
  std::string out;
  switch (encoding_) {
    case ProfileEncoding::Ansi:
      out = ansi;
      break;
    case ProfileEncoding::Utf16Le:
      for (char c : ansi) {
        char32_t cp = AnsiToCodePoint(static_cast<unsigned char>(c));
        out.push_back(static_cast<char>(cp & 0xFF));
        out.push_back(static_cast<char>((cp >> 8) & 0xFF));
      }
      break;
    case ProfileEncoding::Utf8:
      for (char c : ansi) AppendUtf8(out, AnsiToCodePoint(static_cast<unsigned char>(c)));
      break;
  }
  return out;
}

Result<std::optional<std::string>> ProfileText::Set(std::string_view section, std::string_view key,
                                                    std::string_view value) const {
  auto hasBreak = [](std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != npos;
  };
  const std::string_view sectionName = Trim(section);
  const std::string_view keyName = Trim(key);
  if (sectionName.empty() || hasBreak(sectionName) || sectionName.find(']') != npos)
    return MakeError(ErrorKind::Invalid, "the section name \"" + std::string(section) +
                                             "\" cannot be stored in an INI file");
  if (keyName.empty() || hasBreak(keyName) || keyName.find('=') != npos || keyName.front() == '[' ||
      keyName.front() == ';')
    return MakeError(ErrorKind::Invalid,
                     "the key name \"" + std::string(key) + "\" cannot be stored in an INI file");
  if (hasBreak(value))
    return MakeError(ErrorKind::Invalid, "the value of " + std::string(keyName) +
                                             " holds a line break or a NUL, which an INI file "
                                             "cannot keep");
  if (oddTail_)
    return MakeError(ErrorKind::Invalid,
                     "the UTF-16 file ends in half a character; it is left as it is");

  const std::string_view crlf = "\r\n";
  Place place = Locate(sectionName, keyName);
  std::size_t at = 0;      // byte offset where the old bytes are cut
  std::size_t resume = 0;  // byte offset where they go on
  std::string insert;

  if (place.key) {
    const Line& line = *place.key;
    std::string encodedValue = Encode(value);
    if (line.equals != npos) {
      // Unchanged when the stored value, blanks aside, is these very bytes.
      std::size_t b = line.equals + 1;
      std::size_t e = line.end;
      while (b < e && IsBlank(view_[b])) ++b;
      while (e > b && IsBlank(view_[e - 1])) --e;
      if (std::string_view(bytes_).substr(ByteAt(b), ByteAt(e) - ByteAt(b)) == encodedValue)
        return std::optional<std::string>();
      at = ByteAt(line.equals + 1);
    } else {
      std::size_t e = line.end;
      while (e > line.begin && IsBlank(view_[e - 1])) --e;
      at = ByteAt(e);
      insert = Encode("=");
    }
    insert += encodedValue;
    resume = ByteAt(line.end);
  } else {
    std::string added;
    if (place.last) {
      const Line& prev = place.section ? place.lastKey : *place.last;
      if (prev.next == prev.end) added += crlf;  // the last line had no end
      at = ByteAt(prev.next);
    } else {
      at = bytes_.size();
    }
    if (!place.section) {
      added += "[";
      added += sectionName;
      added += "]";
      added += crlf;
    }
    added += keyName;
    added += "=";
    added += value;
    added += crlf;
    insert = Encode(added);
    resume = at;
  }
  std::string out;
  out.reserve(bytes_.size() + insert.size());
  out.append(bytes_, 0, at);
  out += insert;
  out.append(bytes_, resume, npos);
  return std::optional<std::string>(std::move(out));
}

}  // namespace plumage::platform
