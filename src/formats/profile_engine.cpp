#include "formats/profile_engine.h"

#include <algorithm>

#include "base/codepage.h"

namespace plumage::formats {
namespace {

constexpr std::size_t npos = std::string::npos;

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view TrimRight(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view CutAtNul(std::string_view text) {
  std::size_t nul = text.find('\0');
  return nul == npos ? text : text.substr(0, nul);
}

bool IsBlank32(char32_t c) {
  return c == U' ' || c == U'\t' || c == U'\v' || c == U'\f';
}

std::u32string_view Trim(std::u32string_view text) {
  while (!text.empty() && IsBlank32(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank32(text.back())) text.remove_suffix(1);
  return text;
}

std::u32string FromAnsi(std::string_view ansi) {
  std::u32string out;
  out.reserve(ansi.size());
  for (char c : ansi) out.push_back(AnsiToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

// UTF-8 to code points; a byte that is not UTF-8 is a Windows-1252 byte.
std::u32string FromUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    std::size_t len = DecodeUtf8(utf8, i, cp);
    if (len == 0) {
      out.push_back(AnsiToCodePoint(static_cast<unsigned char>(utf8[i])));
      ++i;
    } else {
      out.push_back(cp);
      i += len;
    }
  }
  return out;
}

std::string ToUtf8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

// Trimmed and upper-cased, as names are compared.
std::u32string NameKey(std::u32string_view name) {
  std::u32string out(Trim(name));
  for (char32_t& c : out) c = UpperCodePoint(c);
  return out;
}

char ToAnsi(char32_t cp) {
  int b = CodePointToAnsi(cp);
  return b < 0 ? '?' : static_cast<char>(b);
}

void AppendUtf16(std::string& out, char32_t cp) {
  auto unit = [&out](char32_t u) {
    out.push_back(static_cast<char>(u & 0xFF));
    out.push_back(static_cast<char>((u >> 8) & 0xFF));
  };
  if (cp < 0x10000) {
    unit(cp);
  } else {
    cp -= 0x10000;
    unit(0xD800 + (cp >> 10));
    unit(0xDC00 + (cp & 0x3FF));
  }
}

constexpr char32_t kReplacement = 0xFFFD;

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

char32_t ProfileText::CodePointAt(std::size_t unit) const {
  const auto byte = [this](std::size_t i) { return static_cast<unsigned char>(bytes_[i]); };
  switch (encoding_) {
    case ProfileEncoding::Ansi:
      return AnsiToCodePoint(byte(unit));
    case ProfileEncoding::Utf16Le: {
      const std::size_t at = offsets_[unit];
      const auto word = [&](std::size_t i) { return char32_t(byte(i) | (byte(i + 1) << 8)); };
      switch (offsets_[unit + 1] - at) {
        case 4:  // a surrogate pair, as Decode took it
          return 0x10000 + ((word(at) - 0xD800) << 10) + (word(at + 2) - 0xDC00);
        case 2: {
          const char32_t w = word(at);
          return w >= 0xD800 && w <= 0xDFFF ? kReplacement : w;
        }
        default:  // half a character at the end
          return kReplacement;
      }
    }
    case ProfileEncoding::Utf8: {
      char32_t cp = 0;
      return DecodeUtf8(bytes_, offsets_[unit], cp) == 0 ? kReplacement : cp;
    }
  }
  return kReplacement;
}

bool ProfileText::NameIs(const Line& line, std::u32string_view upperName) const {
  if (line.nameEnd - line.nameBegin != upperName.size()) return false;
  for (std::size_t i = 0; i < upperName.size(); ++i)
    if (UpperCodePoint(CodePointAt(line.nameBegin + i)) != upperName[i]) return false;
  return true;
}

ProfileText::Place ProfileText::Locate(std::u32string_view section, std::u32string_view key) const {
  Place place;
  const std::u32string sectionName = NameKey(section);
  const std::u32string keyName = NameKey(key);
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

std::optional<ProfileText::Range> ProfileText::ValueRange(std::u32string_view section,
                                                          std::u32string_view key) const {
  Place place = Locate(section, key);
  if (!place.key || place.key->equals == npos) return std::nullopt;
  // Blanks, quotes, NUL and line ends are ASCII: the Windows-1252 view
  // finds them in any encoding.
  const std::string_view v = view_;
  std::size_t b = place.key->equals + 1;
  std::size_t e = place.key->end;
  while (b < e && IsBlank(v[b])) ++b;
  while (e > b && IsBlank(v[e - 1])) --e;
  if (e - b >= 2 && (v[b] == '"' || v[b] == '\'') && v[e - 1] == v[b]) {
    ++b;
    --e;
  }
  std::size_t nul = v.substr(b, e - b).find('\0');
  if (nul != npos) e = b + nul;
  return Range{b, e};
}

std::optional<std::string> ProfileText::Find(std::string_view section, std::string_view key) const {
  auto range = ValueRange(FromAnsi(section), FromAnsi(key));
  if (!range) return std::nullopt;
  return std::string(view_.substr(range->first, range->second - range->first));
}

std::optional<std::string> ProfileText::FindText(std::string_view section,
                                                 std::string_view key) const {
  auto range = ValueRange(FromUtf8(section), FromUtf8(key));
  if (!range) return std::nullopt;
  std::string out;
  for (std::size_t u = range->first; u < range->second; ++u) AppendUtf8(out, CodePointAt(u));
  return out;
}

std::string ProfileText::Text() const {
  std::string out;
  out.reserve(view_.size());
  for (std::size_t u = 0; u < view_.size(); ++u) AppendUtf8(out, CodePointAt(u));
  return out;
}

std::uint32_t ProfileText::GetString(std::string_view section, std::string_view key,
                                     std::string_view defaultValue, std::span<char> buffer) const {
  if (auto value = Find(section, key)) return CopyToProfileBuffer(*value, buffer);
  return CopyToProfileBuffer(TrimRight(CutAtNul(defaultValue)), buffer);
}

bool ProfileText::Holds(std::u32string_view text) const {
  if (encoding_ != ProfileEncoding::Ansi) return true;
  return std::all_of(text.begin(), text.end(), [](char32_t c) { return CodePointToAnsi(c) >= 0; });
}

std::string ProfileText::Encode(std::u32string_view text) const {
  std::string out;
  for (char32_t c : text) {
    switch (encoding_) {
      case ProfileEncoding::Ansi:
        out.push_back(ToAnsi(c));
        break;
      case ProfileEncoding::Utf16Le:
        AppendUtf16(out, c);
        break;
      case ProfileEncoding::Utf8:
        AppendUtf8(out, c);
        break;
    }
  }
  return out;
}

std::string ProfileText::AsUtf16() const {
  std::string out = "\xFF\xFE";
  out.reserve(2 + 2 * bytes_.size());
  for (char c : bytes_) AppendUtf16(out, AnsiToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

Result<std::optional<std::string>> ProfileText::Set(std::string_view section, std::string_view key,
                                                    std::string_view value) const {
  return SetCodePoints(FromAnsi(section), FromAnsi(key), FromAnsi(value));
}

Result<std::optional<std::string>> ProfileText::SetText(std::string_view section,
                                                        std::string_view key,
                                                        std::string_view value) const {
  return SetCodePoints(FromUtf8(section), FromUtf8(key), FromUtf8(value));
}

Result<std::optional<std::string>> ProfileText::SetCodePoints(std::u32string_view section,
                                                              std::u32string_view key,
                                                              std::u32string_view value) const {
  auto hasBreak = [](std::u32string_view s) {
    return s.find_first_of(std::u32string_view(U"\r\n\0", 3)) != npos;
  };
  const std::u32string_view sectionName = Trim(section);
  const std::u32string_view keyName = Trim(key);
  if (sectionName.empty() || hasBreak(sectionName) || sectionName.find(U']') != npos)
    return MakeError(ErrorKind::Invalid, "the section name \"" + ToUtf8(section) +
                                             "\" cannot be stored in an INI file");
  if (keyName.empty() || hasBreak(keyName) || keyName.find(U'=') != npos ||
      keyName.front() == U'[' || keyName.front() == U';')
    return MakeError(ErrorKind::Invalid,
                     "the key name \"" + ToUtf8(key) + "\" cannot be stored in an INI file");
  if (hasBreak(value))
    return MakeError(ErrorKind::Invalid, "the value of " + ToUtf8(keyName) +
                                             " holds a line break or a NUL, which an INI file "
                                             "cannot keep");
  if (oddTail_)
    return MakeError(ErrorKind::Invalid,
                     "the UTF-16 file ends in half a character; it is left as it is");

  // Text that Windows-1252 lacks: the whole file becomes UTF-16, then the
  // write goes into that. Its names are new to the file (it could not hold
  // them either), so the write always changes it.
  if (!Holds(sectionName) || !Holds(keyName) || !Holds(value)) {
    const ProfileText wide(Adopt{}, AsUtf16());
    auto edited = wide.SetCodePoints(section, key, value);
    if (edited && !edited.value()) return std::optional<std::string>(wide.bytes_);
    return edited;
  }

  const std::u32string_view crlf = U"\r\n";
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
      insert = Encode(U"=");
    }
    insert += encodedValue;
    resume = ByteAt(line.end);
  } else {
    std::u32string added;
    if (place.last) {
      const Line& prev = place.section ? place.lastKey : *place.last;
      if (prev.next == prev.end) added += crlf;  // the last line had no end
      at = ByteAt(prev.next);
    } else {
      at = bytes_.size();
    }
    if (!place.section) {
      added += U"[";
      added += sectionName;
      added += U"]";
      added += crlf;
    }
    added += keyName;
    added += U"=";
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

}  // namespace plumage::formats
