#include "vcl/graphics.h"

#include <QColor>
#include <QPainter>

#include <cstring>

#include "internal/resources.h"
#include "vcl/exception.h"

namespace vcl {
namespace {

QColor ToQColor(TColor colour) {
  // Palette-relative and plain colours are drawn exactly: displays have no palette.
  return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

std::uint32_t ReadLittle(const std::string& bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  }
  return value;
}

}  // namespace

HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL /*forceBackground*/) {
  if (dc == nullptr) return nullptr;
  HPALETTE previous = dc->palette;
  dc->palette = palette;
  dc->realized = false;
  ++dc->selectCount;
  return previous;
}

UINT RealizePalette(HDC dc) {
  if (dc == nullptr || dc->palette == nullptr) return 0;
  dc->realized = true;
  ++dc->realizeCount;
  return static_cast<UINT>(dc->palette->entries.size());
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  if (palette == nullptr || start >= palette->entries.size()) return 0;
  const UINT available = static_cast<UINT>(palette->entries.size()) - start;
  const UINT copied = count < available ? count : available;
  if (entries != nullptr) std::memcpy(entries, &palette->entries[start], copied * sizeof(PALETTEENTRY));
  return copied;
}

// ---- TFont

void TFont::SetName(const AnsiString& name) {
  name_ = name;
  Changed();
}
void TFont::SetHeight(int height) {
  height_ = height;
  Changed();
}
void TFont::SetCharset(int charset) {
  charset_ = charset;
  Changed();
}
void TFont::SetColor(TColor color) {
  color_ = color;
  Changed();
}
void TFont::SetStyle(int style) {
  style_ = style;
  Changed();
}

// ---- TCanvas

TCanvas::TCanvas() = default;
TCanvas::~TCanvas() = default;

void TCanvas::BeginPaint(QPainter* painter) {
  painter_ = painter;
  // Every paint gets a fresh device context, with the default palette.
  dc_.palette = nullptr;
  dc_.realized = false;
  ++paintCount_;
}

void TCanvas::EndPaint() { painter_ = nullptr; }

void TCanvas::FillRect(const TRect& rect) {
  if (painter_ == nullptr || rect.Right <= rect.Left || rect.Bottom <= rect.Top) return;
  painter_->fillRect(QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top),
                     ToQColor(brush_.Color()));
}

// ---- TBitmap

TBitmap::TBitmap() = default;
TBitmap::~TBitmap() = default;

void TBitmap::LoadFromResourceName(HINSTANCE /*instance*/, const AnsiString& name) {
  const auto bytes = internal::LoadResource(name.bytes());
  if (!bytes) throw EResNotFound(AnsiString("resource " + name.bytes() + " not found"));
  LoadFromBytes(*bytes, name);
}

void TBitmap::LoadFromBytes(const std::string& bytes, const AnsiString& what) {
  const auto fail = [&](const char* why) {
    throw EResNotFound(AnsiString("bitmap " + what.bytes() + ": " + why));
  };
  if (bytes.size() < 14 + 40 || bytes[0] != 'B' || bytes[1] != 'M') fail("not a bitmap");
  const std::uint32_t headerSize = ReadLittle(bytes, 14, 4);
  if (headerSize < 40 || 14 + headerSize > bytes.size()) fail("unknown header");
  const auto width = static_cast<std::int32_t>(ReadLittle(bytes, 18, 4));
  const auto height = static_cast<std::int32_t>(ReadLittle(bytes, 22, 4));
  const std::uint32_t bitCount = ReadLittle(bytes, 28, 2);
  const std::uint32_t compression = ReadLittle(bytes, 30, 4);
  std::uint32_t colours = ReadLittle(bytes, 46, 4);
  if (compression != 0) fail("compressed bitmaps are not supported");
  if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
  if (bitCount > 8) colours = 0;
  const std::size_t table = 14 + headerSize;
  if (colours > 256 || table + 4 * colours > bytes.size()) fail("colour table cut short");
  LogicalPalette palette;
  for (std::uint32_t i = 0; i < colours; ++i) {
    const std::size_t at = table + 4 * i;
    palette.entries.push_back({static_cast<BYTE>(bytes[at + 2]), static_cast<BYTE>(bytes[at + 1]),
                               static_cast<BYTE>(bytes[at]), 0});
  }
  width_ = width;
  height_ = height < 0 ? -height : height;
  bitCount_ = static_cast<int>(bitCount);
  palette_ = std::move(palette);
}

}  // namespace vcl
