// Colours, fonts, the canvas, bitmaps with palettes, and the GDI palette calls.
//
// Displays are true-colour: a palette can be selected into a device context and
// realized, and both are recorded, but every colour is drawn exactly as asked,
// palette-relative colours (top byte 0x02) included. That is what a display
// without a palette does.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "vcl/ansi_string.h"
#include "win32/types.h"

class QPainter;

namespace vcl {

// 0x00bbggrr; top byte 0x02 marks a palette-relative colour, 0x80 a system colour.
using TColor = std::int32_t;

constexpr TColor RGB(int r, int g, int b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }
constexpr TColor PALETTERGB(int r, int g, int b) { return 0x02000000 | RGB(r, g, b); }
constexpr int GetRValue(TColor c) { return c & 0xFF; }
constexpr int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) { return (c >> 16) & 0xFF; }

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
inline constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
inline constexpr TColor clWindow = static_cast<TColor>(0x80000005);

inline constexpr int DEFAULT_CHARSET = 1;
inline constexpr int SHIFTJIS_CHARSET = 128;

// The Win32 RECT as VCL's TRect: left and top included, right and bottom excluded.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};
inline TRect Rect(int left, int top, int right, int bottom) { return TRect{left, top, right, bottom}; }

struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};

// A logical palette. Bitmaps own theirs; HPALETTE only points to it.
struct LogicalPalette {
  std::vector<PALETTEENTRY> entries;
};
using HPALETTE = LogicalPalette*;

// A device context: the canvas of one paint. It records the palette selected into
// it and whether it was realized, and counts both calls over its life.
struct DeviceContext {
  HPALETTE palette = nullptr;
  bool realized = false;
  int selectCount = 0;
  int realizeCount = 0;
};
using HDC = DeviceContext*;

// Selects palette into dc; returns the palette selected before. forceBackground
// is recorded nowhere (there is no system palette to map into).
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL forceBackground);
// Realizes the selected palette; returns the count of its entries (0 without one).
UINT RealizePalette(HDC dc);
// Copies count entries from start; returns the count copied.
UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries);

class TFont {
 public:
  const AnsiString& Name() const { return name_; }
  void SetName(const AnsiString& name);
  // Negative: character height in pixels; positive: cell height.
  int Height() const { return height_; }
  void SetHeight(int height);
  int Charset() const { return charset_; }
  void SetCharset(int charset);
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  // Style flags: fsBold 1, fsItalic 2, fsUnderline 4, fsStrikeOut 8.
  int Style() const { return style_; }
  void SetStyle(int style);

  std::function<void()> OnChange;

 private:
  void Changed() {
    if (OnChange) OnChange();
  }
  AnsiString name_ = "MS Sans Serif";
  int height_ = -11;
  int charset_ = DEFAULT_CHARSET;
  TColor color_ = clWindowText;
  int style_ = 0;
};

inline constexpr int fsBold = 1;
inline constexpr int fsItalic = 2;
inline constexpr int fsUnderline = 4;
inline constexpr int fsStrikeOut = 8;

class TBrush {
 public:
  TColor Color() const { return color_; }
  void SetColor(TColor color) { color_ = color; }

 private:
  TColor color_ = clWhite;
};

// The canvas of a form. It draws only while the form paints (inside OnPaint);
// outside a paint its drawing calls do nothing. Deliberately differs: the
// original could draw on a window at any time.
class TCanvas {
 public:
  TCanvas();
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TBrush* Brush() { return &brush_; }
  // The device context of the current paint.
  HDC Handle() { return &dc_; }
  void FillRect(const TRect& rect);

  // For the form library: binds the canvas to a paint (nullptr unbinds) and
  // starts a fresh device context for it.
  void BeginPaint(QPainter* painter);
  void EndPaint();
  int PaintCount() const { return paintCount_; }

 private:
  TBrush brush_;
  DeviceContext dc_;
  QPainter* painter_ = nullptr;
  int paintCount_ = 0;
};

// A device-independent bitmap; only its size and palette are kept (the image of
// the installer's bitmap is never shown).
class TBitmap {
 public:
  TBitmap();
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  // Loads the named bitmap resource of the program (instance is ignored: there is
  // one module). Throws EResNotFound when it is missing or malformed.
  void LoadFromResourceName(HINSTANCE instance, const AnsiString& name);
  // Loads from the bytes of a .bmp file (file header, info header, colour table).
  void LoadFromBytes(const std::string& bytes, const AnsiString& what);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int BitCount() const { return bitCount_; }
  // The logical palette built from the colour table in table order; owned by the
  // bitmap. nullptr for a bitmap without colour table.
  HPALETTE Palette() { return palette_.entries.empty() ? nullptr : &palette_; }

 private:
  int width_ = 0;
  int height_ = 0;
  int bitCount_ = 0;
  LogicalPalette palette_;
};

// The program's module instance (there is only one).
inline HINSTANCE HInstance = nullptr;

}  // namespace vcl
