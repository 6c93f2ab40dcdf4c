#include "image/surfaces.h"

#include <cstring>
#include <memory>
#include <new>
#include <unordered_map>

#include "image/nearest_colour.h"

namespace plumage::image::surfaces {
namespace {

struct Bitmap {
  std::int32_t width = 0;
  std::int32_t height = 0;
  int bitCount = 24;
  std::size_t stride = 0;
  std::vector<std::uint8_t> bits;
  std::vector<RgbQuad> table;              // 2, 16 or 256 entries below 24 bits
  std::unique_ptr<NearestColour> nearest;  // made on the first transfer onto it
  Handle selectedIn = 0;
  bool stock = false;

  std::uint8_t* Row(std::int32_t yFromTop) {
    return bits.data() + static_cast<std::size_t>(height - 1 - yFromTop) * stride;
  }
  NearestColour& Nearest() {
    if (!nearest) {
      std::vector<PaletteRgb> colours;
      colours.reserve(table.size());
      for (const RgbQuad& q : table) colours.push_back(PaletteRgb{q.red, q.green, q.blue});
      nearest = std::make_unique<NearestColour>(std::move(colours));
    }
    return *nearest;
  }
};

struct Context {
  bool display = false;
  Handle bitmap = 0;
};

// Handles start above the small numbers a caller might pass by mistake.
constexpr Handle kFirstHandle = 0x100;

struct Table {
  std::unordered_map<Handle, Bitmap> bitmaps;
  std::unordered_map<Handle, Context> contexts;
  Handle next = kFirstHandle;
  Handle stockBitmap = 0;

  Table() {
    Bitmap stock;
    stock.width = 1;
    stock.height = 1;
    stock.bitCount = 1;
    stock.stride = 4;
    stock.bits.assign(4, 0);
    stock.table = {RgbQuad{0, 0, 0, 0}, RgbQuad{255, 255, 255, 0}};
    stock.stock = true;
    stockBitmap = NewHandle();
    bitmaps.emplace(stockBitmap, std::move(stock));
  }

  Handle NewHandle() {
    for (;;) {
      Handle h = next;
      next = next == INT32_MAX ? kFirstHandle : next + 1;
      if (!bitmaps.count(h) && !contexts.count(h)) return h;
    }
  }
  Bitmap* FindBitmap(Handle h) {
    auto it = bitmaps.find(h);
    return it == bitmaps.end() ? nullptr : &it->second;
  }
  Context* FindContext(Handle h) {
    auto it = contexts.find(h);
    return it == contexts.end() ? nullptr : &it->second;
  }
};

Table& Objects() {
  static Table table;
  return table;
}

std::unique_ptr<Bitmap> NewBitmap(std::int32_t width, std::int32_t height, int bitCount) {
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return nullptr;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return nullptr;
  std::int64_t stride = StrideFor(width, bitCount);
  std::uint64_t bytes = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(height);
  if (bytes > kMaxPixelBytes) return nullptr;
  auto bitmap = std::make_unique<Bitmap>();
  bitmap->width = width;
  bitmap->height = height;
  bitmap->bitCount = bitCount;
  bitmap->stride = static_cast<std::size_t>(stride);
  try {
    bitmap->bits.assign(static_cast<std::size_t>(bytes), 0);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return bitmap;
}

Handle Register(std::unique_ptr<Bitmap> bitmap) {
  Table& t = Objects();
  Handle h = t.NewHandle();
  t.bitmaps.emplace(h, std::move(*bitmap));
  return h;
}

// ---- pixels as colours -------------------------------------------------------

// Reads `count` pixels of a row from column `x` as blue, green, red triples.
void ReadColours(Bitmap& bm, std::int32_t y, std::int32_t x, std::int32_t count,
                 std::uint8_t* out) {
  const std::uint8_t* row = bm.Row(y);
  if (bm.bitCount == 24) {
    std::memcpy(out, row + static_cast<std::size_t>(x) * 3, static_cast<std::size_t>(count) * 3);
    return;
  }
  const int bpp = bm.bitCount;
  const unsigned mask = (1u << bpp) - 1;
  const int perByte = 8 / bpp;
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t c = x + i;
    unsigned shift = static_cast<unsigned>(8 - bpp * (c % perByte + 1));
    unsigned index = (row[c / perByte] >> shift) & mask;
    const RgbQuad& q = bm.table[index];  // the table has 2^bpp entries
    out[3 * i] = q.blue;
    out[3 * i + 1] = q.green;
    out[3 * i + 2] = q.red;
  }
}

// Stores `count` blue, green, red triples into a row from column `x`.
void WriteColours(Bitmap& bm, std::int32_t y, std::int32_t x, std::int32_t count,
                  const std::uint8_t* in) {
  std::uint8_t* row = bm.Row(y);
  if (bm.bitCount == 24) {
    std::memcpy(row + static_cast<std::size_t>(x) * 3, in, static_cast<std::size_t>(count) * 3);
    return;
  }
  NearestColour& nearest = bm.Nearest();
  if (bm.bitCount == 8) {
    for (std::int32_t i = 0; i < count; ++i) {
      std::int32_t found = nearest.Find(in[3 * i + 2], in[3 * i + 1], in[3 * i]);
      row[x + i] = static_cast<std::uint8_t>(found > 0 ? found - 1 : 0);
    }
    return;
  }
  const int bpp = bm.bitCount;
  const unsigned mask = (1u << bpp) - 1;
  const int perByte = 8 / bpp;
  for (std::int32_t i = 0; i < count; ++i) {
    std::int32_t found = nearest.Find(in[3 * i + 2], in[3 * i + 1], in[3 * i]);
    unsigned index = static_cast<unsigned>(found > 0 ? found - 1 : 0) & mask;
    std::int32_t c = x + i;
    unsigned shift = static_cast<unsigned>(8 - bpp * (c % perByte + 1));
    std::uint8_t& byte = row[c / perByte];
    byte = static_cast<std::uint8_t>((byte & ~(mask << shift)) | (index << shift));
  }
}

// The ternary raster operation on one byte of pattern, source and destination:
// bit (p << 2 | s << 1 | d) of the operation's code is the result bit.
std::uint8_t Rop3(std::uint8_t code, std::uint8_t p, std::uint8_t s, std::uint8_t d) {
  unsigned result = 0;
  for (unsigned term = 0; term < 8; ++term) {
    if (!((code >> term) & 1)) continue;
    unsigned pv = (term & 4) ? p : static_cast<std::uint8_t>(~p);
    unsigned sv = (term & 2) ? s : static_cast<std::uint8_t>(~s);
    unsigned dv = (term & 1) ? d : static_cast<std::uint8_t>(~d);
    result |= pv & sv & dv;
  }
  return static_cast<std::uint8_t>(result);
}

bool UsesSource(std::uint8_t code) {
  return (((code >> 2) ^ code) & 0x33) != 0;
}
bool UsesDestination(std::uint8_t code) {
  return (((code >> 1) ^ code) & 0x55) != 0;
}

}  // namespace

Handle CreateDisplayDC() {
  Table& t = Objects();
  Handle h = t.NewHandle();
  t.contexts.emplace(h, Context{true, 0});
  return h;
}

Handle CreateCompatibleDC(Handle hdc) {
  Table& t = Objects();
  if (hdc != 0 && !t.FindContext(hdc)) return 0;
  Handle h = t.NewHandle();
  t.contexts.emplace(h, Context{false, t.stockBitmap});
  return h;
}

bool DeleteDC(Handle hdc) {
  Table& t = Objects();
  Context* dc = t.FindContext(hdc);
  if (!dc) return false;
  // The bitmap it holds stays alive, free to be selected elsewhere.
  if (Bitmap* bm = t.FindBitmap(dc->bitmap); bm && !bm->stock) bm->selectedIn = 0;
  t.contexts.erase(hdc);
  return true;
}

Handle CreateDIBSection(Handle, const BitmapInfo& info, std::uint8_t** bits) {
  if (bits) *bits = nullptr;
  if (info.biSize < 40 || info.biCompression != 0) return 0;
  auto bm = NewBitmap(info.biWidth, info.biHeight, info.biBitCount);
  if (!bm) return 0;
  if (bm->bitCount < 24) {
    std::size_t entries = std::size_t{1} << bm->bitCount;
    std::size_t used = info.biClrUsed == 0 || info.biClrUsed > entries ? entries : info.biClrUsed;
    bm->table.assign(entries, RgbQuad{});
    for (std::size_t i = 0; i < used; ++i) {
      bm->table[i] = info.bmiColors[i];
      bm->table[i].reserved = 0;
    }
  }
  std::uint8_t* address = bm->bits.data();
  Handle h = Register(std::move(bm));
  if (bits) *bits = address;
  return h;
}

Handle CreateCompatibleBitmap(Handle hdc, std::int32_t width, std::int32_t height) {
  if (hdc != 0 && !Objects().FindContext(hdc)) return 0;
  auto bm = NewBitmap(width, height, 24);
  return bm ? Register(std::move(bm)) : 0;
}

Handle SelectObject(Handle hdc, Handle bitmap) {
  Table& t = Objects();
  Context* dc = t.FindContext(hdc);
  Bitmap* bm = t.FindBitmap(bitmap);
  if (!dc || dc->display || !bm) return 0;
  if (dc->bitmap == bitmap) return bitmap;
  if (!bm->stock && bm->selectedIn != 0) return 0;
  Handle previous = dc->bitmap;
  if (Bitmap* old = t.FindBitmap(previous); old && !old->stock) old->selectedIn = 0;
  dc->bitmap = bitmap;
  if (!bm->stock) bm->selectedIn = hdc;
  return previous;
}

bool DeleteObject(Handle bitmap) {
  Table& t = Objects();
  Bitmap* bm = t.FindBitmap(bitmap);
  if (!bm) return false;
  if (bm->stock) return true;  // stock objects are never deleted
  if (bm->selectedIn != 0) return false;
  t.bitmaps.erase(bitmap);
  return true;
}

bool GetBitmapSize(Handle bitmap, std::int32_t& width, std::int32_t& height) {
  Bitmap* bm = Objects().FindBitmap(bitmap);
  if (!bm) return false;
  width = bm->width;
  height = bm->height;
  return true;
}

Handle CurrentBitmap(Handle hdc) {
  Context* dc = Objects().FindContext(hdc);
  return dc && !dc->display ? dc->bitmap : 0;
}

std::size_t LiveObjectCount() {
  const Table& t = Objects();
  return t.bitmaps.size() - 1 + t.contexts.size();
}

bool BitBlt(Handle hdcDest, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
            Handle hdcSrc, std::int32_t xSrc, std::int32_t ySrc, std::uint32_t rop) {
  Table& t = Objects();
  const std::uint8_t code = static_cast<std::uint8_t>((rop >> 16) & 0xFF);
  const bool useSource = UsesSource(code);
  Context* dst = t.FindContext(hdcDest);
  if (!dst) return false;
  Context* src = useSource ? t.FindContext(hdcSrc) : nullptr;
  if (useSource && !src) return false;
  if (dst->display) return true;  // there is no screen to draw on
  Bitmap* db = t.FindBitmap(dst->bitmap);
  if (!db) return false;
  Bitmap* sb = useSource && !src->display ? t.FindBitmap(src->bitmap) : nullptr;
  if (width <= 0 || height <= 0) return true;

  // Clip to the destination and, when there is one, to the source bitmap.
  std::int64_t dx = x, dy = y, sx = xSrc, sy = ySrc, w = width, h = height;
  auto clip = [&](std::int64_t& a, std::int64_t& b, std::int64_t& extent, std::int64_t limit) {
    if (a < 0) {
      extent += a;
      b -= a;
      a = 0;
    }
    if (a + extent > limit) extent = limit - a;
  };
  clip(dx, sx, w, db->width);
  clip(dy, sy, h, db->height);
  if (sb) {
    clip(sx, dx, w, sb->width);
    clip(sy, dy, h, sb->height);
  }
  if (w <= 0 || h <= 0) return true;
  const auto cw = static_cast<std::int32_t>(w);
  const auto ch = static_cast<std::int32_t>(h);

  // The source rows as colours, read before anything is written so that a
  // bitmap copied onto itself reads its old pixels.
  std::vector<std::uint8_t> source;
  const bool sameBitmap = sb == db;
  if (sameBitmap) {
    source.resize(static_cast<std::size_t>(cw) * 3 * static_cast<std::size_t>(ch));
    for (std::int32_t r = 0; r < ch; ++r)
      ReadColours(*sb, static_cast<std::int32_t>(sy) + r, static_cast<std::int32_t>(sx), cw,
                  source.data() + static_cast<std::size_t>(r) * cw * 3);
  }
  std::vector<std::uint8_t> row(static_cast<std::size_t>(cw) * 3);
  std::vector<std::uint8_t> under;
  const bool useDest = UsesDestination(code);
  for (std::int32_t r = 0; r < ch; ++r) {
    const std::int32_t drow = static_cast<std::int32_t>(dy) + r;
    std::uint8_t* colours = row.data();
    if (code == 0xCC && sb && sb->bitCount == 24 && db->bitCount == 24 && !sameBitmap) {
      std::memcpy(db->Row(drow) + dx * 3, sb->Row(static_cast<std::int32_t>(sy) + r) + sx * 3,
                  static_cast<std::size_t>(cw) * 3);
      continue;
    }
    if (sameBitmap)
      colours = source.data() + static_cast<std::size_t>(r) * cw * 3;
    else if (sb)
      ReadColours(*sb, static_cast<std::int32_t>(sy) + r, static_cast<std::int32_t>(sx), cw,
                  colours);
    else
      std::memset(colours, 0, row.size());  // the screen, or no source: black
    if (code != 0xCC) {
      if (useDest) {
        under.resize(row.size());
        ReadColours(*db, drow, static_cast<std::int32_t>(dx), cw, under.data());
      }
      for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = Rop3(code, 0xFF, colours[i], useDest ? under[i] : 0);
      colours = row.data();
    }
    WriteColours(*db, drow, static_cast<std::int32_t>(dx), cw, colours);
  }
  return true;
}

}  // namespace plumage::image::surfaces
