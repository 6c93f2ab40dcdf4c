#include "reference.h"

#include <cmath>
#include <cstdlib>
#include <random>

namespace plumage::image::ref {
namespace {

std::int32_t Rhe(double v) {
  return static_cast<std::int32_t>(std::nearbyint(v));
}

void Clamp(std::int32_t& v, std::int32_t lo, std::int32_t hi) {
  if (v < lo) v = lo;
  if (v > hi) v = hi;
}

// Copies `to` over `from` from the top-left corner, as far as both reach.
void CopyBack(Picture& from, const Picture& to) {
  if (&from == &to) return;
  const std::int32_t w = std::min(from.width, to.width), h = std::min(from.height, to.height);
  for (std::int32_t r = 0; r < h; ++r) {
    const std::int32_t fy = from.height - 1 - r, ty = to.height - 1 - r;
    for (std::int32_t x = 0; x < 3 * w; ++x)
      from.bits[static_cast<std::size_t>(fy) * from.Stride() + x] =
          to.bits[static_cast<std::size_t>(ty) * to.Stride() + x];
  }
}

}  // namespace

Picture::Picture(std::int32_t w, std::int32_t h)
    : width(w), height(h), bits(static_cast<std::size_t>((w * 3 + 3) & ~3) * h, 0) {}

std::int32_t ClosestIndex(const std::vector<Colour>& pal, std::int32_t red, std::int32_t green,
                          std::int32_t blue) {
  std::int32_t best = 0;
  std::int32_t bestR = 255, bestG = 255, bestB = 255;
  for (std::size_t i = 1; i <= pal.size(); ++i) {
    const Colour& c = pal[i - 1];
    if (c.r == red && c.b == blue && c.g == green) return static_cast<std::int32_t>(i);
    std::int32_t dr = std::abs(red - c.r), dg = std::abs(green - c.g), db = std::abs(blue - c.b);
    if (dr + db + dg < bestR + bestB + bestG) {
      best = static_cast<std::int32_t>(i);
      bestR = dr;
      bestG = dg;
      bestB = db;
    }
  }
  return best;
}

std::vector<Colour> HalfTone() {
  std::vector<Colour> p(256);
  const std::uint8_t lv[5] = {0, 64, 128, 192, 255};
  for (int b = 0; b < 5; ++b)
    for (int g = 0; g < 5; ++g)
      for (int r = 0; r < 5; ++r)
        p[static_cast<std::size_t>(r + 5 * g + 25 * b)] = {lv[r], lv[g], lv[b]};
  return p;
}

namespace {
void Dark(std::vector<Colour>& p, int s) {
  p[static_cast<std::size_t>(s + 1 - 1)] = {128, 0, 0};
  p[static_cast<std::size_t>(s + 2 - 1)] = {0, 128, 0};
  p[static_cast<std::size_t>(s + 3 - 1)] = {128, 128, 0};
  p[static_cast<std::size_t>(s + 4 - 1)] = {0, 0, 128};
  p[static_cast<std::size_t>(s + 5 - 1)] = {128, 0, 128};
  p[static_cast<std::size_t>(s + 6 - 1)] = {0, 128, 128};
  p[static_cast<std::size_t>(s + 7 - 1)] = {192, 192, 192};
}
void Light(std::vector<Colour>& p, int s) {
  p[static_cast<std::size_t>(s - 1)] = {128, 128, 128};
  p[static_cast<std::size_t>(s)] = {255, 0, 0};
  p[static_cast<std::size_t>(s + 1)] = {0, 255, 0};
  p[static_cast<std::size_t>(s + 2)] = {255, 255, 0};
  p[static_cast<std::size_t>(s + 3)] = {0, 0, 255};
  p[static_cast<std::size_t>(s + 4)] = {255, 0, 255};
  p[static_cast<std::size_t>(s + 5)] = {0, 255, 255};
  p[static_cast<std::size_t>(s + 6)] = {255, 255, 255};
}
}  // namespace

std::vector<Colour> SixteenColour() {
  std::vector<Colour> p(16);
  Dark(p, 1);
  Light(p, 9);
  return p;
}

std::vector<Colour> WebSafe() {
  std::vector<Colour> p(256);
  Dark(p, 1);
  int i = 9;
  for (int b = 0; b <= 255; b += 51)
    for (int g = 0; g <= 255; g += 51)
      for (int r = 0; r <= 255; r += 51) {
        int extremes = (r == 0 || r == 255) + (g == 0 || g == 255) + (b == 0 || b == 255);
        if (extremes == 3) continue;
        p[static_cast<std::size_t>(i - 1)] = {static_cast<std::uint8_t>(r),
                                              static_cast<std::uint8_t>(g),
                                              static_cast<std::uint8_t>(b)};
        ++i;
      }
  for (int k = 1; k <= 31; ++k)
    p[static_cast<std::size_t>(216 + k - 1)] = {static_cast<std::uint8_t>(8 * k),
                                                static_cast<std::uint8_t>(8 * k),
                                                static_cast<std::uint8_t>(8 * k)};
  Light(p, 248);
  return p;
}

void GrayScale(Picture& pic, EventLog& log) {
  const std::int32_t xEnd = 3 * (pic.width - 1), yEnd = pic.height - 1;
  log.push_back("I" + std::to_string(xEnd));
  for (std::int32_t x = 0; x <= xEnd; x += 3) {
    for (std::int32_t y = 0; y <= yEnd; ++y) {
      double grey =
          (222.0 * pic.At(x + 2, y) + 707.0 * pic.At(x + 1, y) + 71.0 * pic.At(x, y)) / 1000.0;
      std::int32_t v = Rhe(grey);
      Clamp(v, 0, 255);
      pic.At(x, y) = pic.At(x + 1, y) = pic.At(x + 2, y) = static_cast<std::uint8_t>(v);
    }
    log.push_back("P" + std::to_string(x));
  }
  log.push_back("C");
}

void BlackAndWhite(Picture& from, Picture& to, EventLog& log) {
  GrayScale(from, log);
  const std::int32_t W = std::min(to.width, from.width), H = std::min(to.height, from.height);
  const std::int32_t xEnd = 3 * (W - 1), yEnd = H - 1;
  log.push_back("I" + std::to_string(xEnd));
  for (std::int32_t x = 0; x <= xEnd; x += 3) {
    for (std::int32_t y = 0; y <= yEnd; ++y) {
      std::int32_t v = from.At(x, y);
      std::int32_t e;
      if (v <= 128) {
        to.At(x, y) = to.At(x + 1, y) = to.At(x + 2, y) = 0;
        e = v >= 17 ? v : 0;
      } else {
        to.At(x, y) = to.At(x + 1, y) = to.At(x + 2, y) = 255;
        e = 127 - v;
      }
      if (x < xEnd - 3) {
        std::int32_t s = from.At(x + 3, y) + (7 * e) / 16;
        Clamp(s, 0, 255);
        from.At(x + 3, y) = from.At(x + 4, y) = from.At(x + 5, y) = static_cast<std::uint8_t>(s);
      }
      if (y < yEnd) {
        const std::int32_t dxs[3] = {-3, 0, 3}, weights[3] = {3, 5, 1};
        for (int k = 0; k < 3; ++k) {
          std::int32_t tx = x + dxs[k];
          if (0 < tx && tx < xEnd) {
            std::int32_t s = from.At(tx, y + 1) + (e * weights[k]) / 16;
            Clamp(s, 0, 255);
            from.At(tx, y + 1) = from.At(tx + 1, y + 1) = from.At(tx + 2, y + 1) =
                static_cast<std::uint8_t>(s);
          }
        }
      }
    }
    log.push_back("P" + std::to_string(x));
  }
  CopyBack(from, to);
  log.push_back("C");
}

void ApplyPalette(Picture& from, Picture& to, const std::vector<Colour>& pal, bool diffuse,
                  EventLog& log) {
  const std::int32_t W = std::min(to.width, from.width), H = std::min(to.height, from.height);
  const std::int32_t xEnd = 3 * (W - 1), yEnd = H - 1;
  log.push_back("I" + std::to_string(xEnd));
  for (std::int32_t x = 0; x <= xEnd; x += 3) {
    for (std::int32_t y = 0; y <= yEnd; ++y) {
      std::int32_t i = ClosestIndex(pal, from.At(x + 2, y), from.At(x + 1, y), from.At(x, y));
      Colour c = i >= 1 ? pal[static_cast<std::size_t>(i - 1)] : Colour{};
      to.At(x, y) = c.b;
      to.At(x + 1, y) = c.g;
      to.At(x + 2, y) = c.r;
      if (diffuse) {
        std::int32_t eB = from.At(x, y) - to.At(x, y);
        std::int32_t eG = from.At(x + 1, y) - to.At(x + 1, y);
        std::int32_t eR = from.At(x + 2, y) - to.At(x + 2, y);
        if (std::abs(eR) + std::abs(eG) + std::abs(eB) > 3) {
          auto gain = [&](std::int32_t tx, std::int32_t ty, std::int32_t weight) {
            const std::int32_t es[3] = {eB, eG, eR};
            for (int k = 0; k < 3; ++k) {
              std::int32_t s = from.At(tx + k, ty) + (es[k] * weight) / 16;
              Clamp(s, 0, 255);
              from.At(tx + k, ty) = static_cast<std::uint8_t>(s);
            }
          };
          if (x < xEnd - 3) gain(x + 3, y, 7);
          if (y < yEnd) {
            const std::int32_t dxs[3] = {-3, 0, 3}, weights[3] = {0, 4, 0};
            for (int k = 0; k < 3; ++k) {
              std::int32_t tx = x + dxs[k];
              if (0 < tx && tx < xEnd) gain(tx, y + 1, weights[k]);
            }
          }
        }
      }
    }
    log.push_back("P" + std::to_string(x));
  }
  CopyBack(from, to);
  log.push_back("C");
}

namespace {

struct Node {
  bool leaf = false, listed = false;
  std::int64_t r = 0, g = 0, b = 0;
  std::int32_t count = 0;
  std::int32_t child[8] = {};
  std::int32_t next = 0;
};

struct Tree {
  std::vector<Node> nodes;  // 1-based: nodes[0] unused
  std::int32_t nodeCount = 0, freeList = 0, leafCount = 0, levels = 0;
  std::vector<std::int32_t> lists;

  std::int32_t Take() {
    ++nodeCount;
    if (freeList != 0) {
      std::int32_t n = freeList;
      freeList = nodes[static_cast<std::size_t>(n)].next;
      for (auto& c : nodes[static_cast<std::size_t>(n)].child) c = 0;
      return n;
    }
    std::int32_t n = nodeCount;
    if (n > static_cast<std::int32_t>(nodes.size()) - 1)
      nodes.resize(static_cast<std::size_t>(Rhe(nodeCount * 1.1)) + 1);
    return n;
  }
  void Release(std::int32_t n) {
    Node& node = nodes[static_cast<std::size_t>(n)];
    node.next = freeList;
    freeList = n;
    node.leaf = false;
    node.listed = false;
    --nodeCount;
  }
  void Add(std::int32_t n, std::int32_t level, std::int32_t rlo, std::int32_t rhi, std::int32_t glo,
           std::int32_t ghi, std::int32_t blo, std::int32_t bhi, std::int32_t R, std::int32_t G,
           std::int32_t B) {
    auto split = [](std::int32_t v, std::int32_t& lo, std::int32_t& hi) {
      std::int32_t mid = Rhe(lo / 2.0 + hi / 2.0);
      if (v <= mid) {
        hi = mid;
        return 0;
      }
      lo = mid;
      return 1;
    };
    std::int32_t rb = split(R, rlo, rhi), gb = split(G, glo, ghi), bb = split(B, blo, bhi);
    std::int32_t c = rb + 2 * gb + 4 * bb;
    if (nodes[static_cast<std::size_t>(n)].child[c] == 0) {
      std::int32_t k = Take();
      nodes[static_cast<std::size_t>(n)].child[c] = k;
      nodes[static_cast<std::size_t>(n)].count += 1;
      Node& f = nodes[static_cast<std::size_t>(k)];
      f.leaf = level == levels;
      f.r = f.g = f.b = 0;
      f.count = 0;
      f.next = 0;
    }
    std::int32_t k = nodes[static_cast<std::size_t>(n)].child[c];
    Node& ch = nodes[static_cast<std::size_t>(k)];
    if (ch.leaf) {
      if (ch.count == 0) ++leafCount;
      ch.count += 1;
      ch.r += R;
      ch.g += G;
      ch.b += B;
    } else {
      if (!ch.listed) {
        ch.next = lists[static_cast<std::size_t>(level)];
        lists[static_cast<std::size_t>(level)] = k;
        ch.listed = true;
      }
      Add(k, level + 1, rlo, rhi, glo, ghi, blo, bhi, R, G, B);
    }
  }
  bool Reduce() {
    std::int32_t L = levels;
    while (L >= 1 && lists[static_cast<std::size_t>(L)] == 0) --L;
    if (L == 0) return false;
    std::int32_t n = lists[static_cast<std::size_t>(L)];
    lists[static_cast<std::size_t>(L)] = nodes[static_cast<std::size_t>(n)].next;
    std::int64_t r = 0, g = 0, b = 0;
    std::int32_t count = 0;
    for (int c = 0; c < 8; ++c) {
      std::int32_t k = nodes[static_cast<std::size_t>(n)].child[c];
      if (k != 0) {
        r += nodes[static_cast<std::size_t>(k)].r;
        g += nodes[static_cast<std::size_t>(k)].g;
        b += nodes[static_cast<std::size_t>(k)].b;
        count += nodes[static_cast<std::size_t>(k)].count;
        Release(k);
        --leafCount;
        nodes[static_cast<std::size_t>(n)].child[c] = 0;
      }
    }
    ++leafCount;
    Node& node = nodes[static_cast<std::size_t>(n)];
    node.leaf = true;
    node.r = r;
    node.g = g;
    node.b = b;
    node.count = count;
    return true;
  }
};

}  // namespace

std::vector<Colour> CreateOptimal(const Picture& pic, std::int32_t palSize, std::int32_t levels,
                                  EventLog& log, int& messages) {
  Tree t;
  t.levels = levels;
  t.nodes.assign(51, Node{});
  t.nodeCount = 1;
  t.lists.assign(static_cast<std::size_t>(levels) + 1, 0);
  log.push_back("I" + std::to_string(pic.height - 1 + palSize));
  Picture& p = const_cast<Picture&>(pic);
  for (std::int32_t y = 0; y < pic.height; ++y) {
    for (std::int32_t x = 0; x <= 3 * (pic.width - 1); x += 3) {
      t.Add(1, 1, 0, 255, 0, 255, 0, 255, p.At(x + 2, y), p.At(x + 1, y), p.At(x, y));
      bool failed = false;
      while (t.leafCount > palSize) {
        if (!t.Reduce()) {
          failed = true;
          break;
        }
      }
      if (failed) ++messages;
    }
    log.push_back("P" + std::to_string(y));
  }
  std::vector<Colour> out;
  for (std::size_t i = 1; i < t.nodes.size(); ++i) {
    const Node& n = t.nodes[i];
    if (n.leaf) {
      out.push_back(Colour{static_cast<std::uint8_t>(Rhe(static_cast<double>(n.r) / n.count)),
                           static_cast<std::uint8_t>(Rhe(static_cast<double>(n.g) / n.count)),
                           static_cast<std::uint8_t>(Rhe(static_cast<double>(n.b) / n.count))});
      log.push_back("P" + std::to_string(i));
    }
  }
  log.push_back("C");
  return out;
}

bool Resample(const Picture& src, std::int32_t newHeight, std::int32_t newWidth, Picture& out) {
  if (newWidth < 1 || newHeight < 1) return false;
  out = Picture(newWidth, newHeight);
  if (newWidth == src.width && newHeight == src.height) {
    out = src;
    return true;
  }
  Picture& s = const_cast<Picture&>(src);
  const float xScale = static_cast<float>(static_cast<double>(src.width - 1) / newWidth);
  const float yScale = static_cast<float>(static_cast<double>(src.height - 1) / newHeight);
  for (std::int32_t j = 0; j < newHeight; ++j) {
    float yPos = static_cast<float>(static_cast<double>(yScale) * j);
    std::int32_t y0 = static_cast<std::int32_t>(std::floor(yPos));
    float fy = yPos - static_cast<float>(y0);
    std::int32_t y1 = std::min(y0 + 1, src.height - 1);  // a source 1 row high
    for (std::int32_t i = 0; i < newWidth; ++i) {
      float xPos = static_cast<float>(static_cast<double>(xScale) * i);
      std::int32_t x0 = static_cast<std::int32_t>(std::floor(xPos));
      float fx = xPos - static_cast<float>(x0);
      std::int32_t x1 = std::min(x0 + 1, src.width - 1);
      for (int ch = 0; ch < 3; ++ch) {
        double left = std::nearbyint((1.0 - fy) * s.At(3 * x0 + ch, y0) +
                                     static_cast<double>(fy) * s.At(3 * x0 + ch, y1));
        double right = std::nearbyint((1.0 - fy) * s.At(3 * x1 + ch, y0) +
                                      static_cast<double>(fy) * s.At(3 * x1 + ch, y1));
        std::int32_t v = Rhe((1.0 - fx) * left + static_cast<double>(fx) * right);
        Clamp(v, 0, 255);
        out.At(3 * i + ch, j) = static_cast<std::uint8_t>(v);
      }
    }
  }
  return true;
}

void RandomiseBits(Picture& pic, bool gray, std::uint32_t seed) {
  std::mt19937 random(seed);
  auto next = [&] {
    double r = static_cast<double>(random()) / 4294967296.0;
    return static_cast<std::uint8_t>(Rhe(r * 255));
  };
  if (gray) {
    for (std::int32_t y = 0; y <= pic.height - 1; ++y)
      for (std::int32_t x = 0; x <= 3 * (pic.width - 1); x += 3) {
        std::uint8_t v = next();
        pic.At(x, y) = pic.At(x + 1, y) = pic.At(x + 2, y) = v;
      }
  } else {
    for (std::int32_t x = 0; x <= 3 * (pic.width - 1); x += 3)
      for (std::int32_t y = 0; y <= pic.height - 1; ++y) {
        pic.At(x, y) = 0;
        pic.At(x + 1, y) = next();
        pic.At(x + 2, y) = next();
      }
  }
}

namespace {
void Put32(std::vector<std::uint8_t>& f, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) f.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& f, std::uint32_t v) {
  f.push_back(static_cast<std::uint8_t>(v));
  f.push_back(static_cast<std::uint8_t>(v >> 8));
}
std::vector<std::uint8_t> Headers(std::int32_t w, std::int32_t h, int bits, std::uint32_t colours,
                                  std::uint32_t sizeImage) {
  std::vector<std::uint8_t> f;
  std::uint32_t off = 54 + 4 * colours;
  f.push_back('B');
  f.push_back('M');
  Put32(f, off + sizeImage);
  Put32(f, 0);
  Put32(f, off);
  Put32(f, 40);
  Put32(f, static_cast<std::uint32_t>(w));
  Put32(f, static_cast<std::uint32_t>(h));
  Put16(f, 1);
  Put16(f, static_cast<std::uint32_t>(bits));
  for (int i = 0; i < 6; ++i) Put32(f, i == 1 ? sizeImage : 0);
  return f;
}
}  // namespace

std::vector<std::uint8_t> SavePicture24(const Picture& pic) {
  std::uint32_t size = static_cast<std::uint32_t>(pic.Stride() * pic.height);
  auto f = Headers(pic.width, pic.height, 24, 0, size);
  f.insert(f.end(), pic.bits.begin(), pic.bits.end());
  return f;
}

SaveResult Save(Picture& pic, bool hasPalette, std::vector<Colour> palette, int depth, int method,
                EventLog& log) {
  SaveResult result;
  result.hasPalette = hasPalette;
  result.palette = palette;
  if (depth == 3) {
    result.written = true;
    result.file = SavePicture24(pic);
    return result;
  }
  bool copyBack = false;
  Picture temp(pic.width, pic.height);
  if (method == 0) {
    copyBack = true;
  } else if (method == 1) {
    if (!hasPalette) return result;
    ApplyPalette(pic, temp, palette, true, log);
  } else if (method == 2) {
    if (depth == 0) {
      BlackAndWhite(pic, temp, log);
    } else if (depth == 1) {
      result.palette = SixteenColour();
      result.hasPalette = true;
      ApplyPalette(pic, temp, result.palette, true, log);
    } else {
      int messages = 0;
      result.palette = CreateOptimal(pic, 236, 6, log, messages);
      result.hasPalette = true;
      ApplyPalette(pic, temp, result.palette, false, log);
    }
  }
  const int bitsPerPixel[3] = {1, 4, 8};
  const std::uint32_t colours[3] = {2, 16, 256};
  const int bpp = bitsPerPixel[depth];
  std::vector<Colour> table(colours[depth]);
  if (depth == 0) {
    table[1] = {255, 255, 255};
  } else if (depth == 1) {
    table = SixteenColour();
  } else {
    if (!result.hasPalette) {
      result.palette = HalfTone();
      result.hasPalette = true;
    }
    for (std::size_t i = 0; i < 256 && i < result.palette.size(); ++i) table[i] = result.palette[i];
  }
  const std::int32_t stride = ((pic.width * bpp + 31) / 32) * 4;
  const std::uint32_t sizeImage = static_cast<std::uint32_t>(stride * pic.height);
  std::vector<std::uint8_t> pixels(sizeImage, 0);
  for (std::int32_t y = 0; y < pic.height; ++y)
    for (std::int32_t c = 0; c < pic.width; ++c) {
      std::int32_t i =
          ClosestIndex(table, pic.At(3 * c + 2, y), pic.At(3 * c + 1, y), pic.At(3 * c, y));
      std::uint32_t index = i >= 1 ? static_cast<std::uint32_t>(i - 1) : 0;
      std::size_t bit = static_cast<std::size_t>(c) * bpp;
      std::uint8_t& byte = pixels[static_cast<std::size_t>(y) * stride + bit / 8];
      byte = static_cast<std::uint8_t>(byte | (index << (8 - bpp - bit % 8)));
      if (copyBack) {
        const Colour& t = table[index];
        pic.At(3 * c, y) = t.b;
        pic.At(3 * c + 1, y) = t.g;
        pic.At(3 * c + 2, y) = t.r;
      }
    }
  result.file = Headers(pic.width, pic.height, bpp, colours[depth], sizeImage);
  for (const Colour& t : table) {
    result.file.push_back(t.b);
    result.file.push_back(t.g);
    result.file.push_back(t.r);
    result.file.push_back(0);
  }
  result.file.insert(result.file.end(), pixels.begin(), pixels.end());
  result.written = true;
  return result;
}

}  // namespace plumage::image::ref
