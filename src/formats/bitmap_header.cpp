#include "formats/bitmap_header.h"

namespace plumage::formats {

Result<BmpFileHeader> ReadFileHeader(ByteReader& in, const std::string& what) {
  PLUMAGE_TRY(b, in.U8());
  PLUMAGE_TRY(m, in.U8());
  if (b != 'B' || m != 'M')
    return MakeError(ErrorKind::Invalid, what + ": the file does not begin with \"BM\"");
  BmpFileHeader h;
  PLUMAGE_TRY(fileSize, in.U32());
  h.fileSize = fileSize;
  PLUMAGE_CHECK(in.Skip(4));  // reserved
  PLUMAGE_TRY(offBits, in.U32());
  h.offBits = offBits;
  return h;
}

Result<BitmapHeader> ReadBitmapHeader(ByteReader& in, const std::string& what) {
  BitmapHeader h;
  PLUMAGE_TRY(headerSize, in.U32());
  h.headerSize = headerSize;
  if (headerSize == kCoreHeaderSize) {
    PLUMAGE_TRY(w, in.U16());
    PLUMAGE_TRY(ht, in.U16());
    PLUMAGE_TRY(planes, in.U16());
    PLUMAGE_TRY(bits, in.U16());
    h.width = w;
    h.height = ht;
    h.planes = planes;
    h.bitCount = bits;
    return h;
  }
  if (headerSize != 16 && headerSize < kInfoHeaderSize)
    return MakeError(ErrorKind::Invalid,
                     what + ": header size " + std::to_string(headerSize) + " is no bitmap header");
  PLUMAGE_TRY(w, in.I32());
  PLUMAGE_TRY(ht, in.I32());
  PLUMAGE_TRY(planes, in.U16());
  PLUMAGE_TRY(bits, in.U16());
  h.width = w;
  h.height = ht;
  h.planes = planes;
  h.bitCount = bits;
  if (headerSize < kInfoHeaderSize) return h;
  PLUMAGE_TRY(compression, in.U32());
  h.compression = compression;
  PLUMAGE_CHECK(in.Skip(12));  // image size (often wrong), resolution
  PLUMAGE_TRY(used, in.U32());
  h.colorsUsed = used;
  PLUMAGE_CHECK(in.Skip(4));  // important colours
  return h;
}

}  // namespace plumage::formats
