#pragma once
// Drawing attributes of the graph: colours, pens, brushes and fonts as plain
// values that know no toolkit. An owner listens to changes through OnChange;
// a copy is a bare value and never inherits the listener of its original.
#include <cstdint>
#include <functional>
#include <string>

namespace kel {

// 0x00BBGGRR: red in the lowest byte. kPaletteFlag in the highest byte asks
// for the nearest colour of the current palette.
using TColor = std::uint32_t;
inline constexpr TColor kPaletteFlag = 0x02000000;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;

// The colour of the red, green and blue parts (each 0..255).
constexpr TColor RGBColor(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
}
// The same colour as a palette-relative value.
constexpr TColor PaletteColor(int r, int g, int b) { return RGBColor(r, g, b) | kPaletteFlag; }
// The red, green and blue parts of a colour, ignoring the palette flag.
constexpr int ColorRed(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int ColorGreen(TColor c) { return static_cast<int>(c >> 8 & 0xFF); }
constexpr int ColorBlue(TColor c) { return static_cast<int>(c >> 16 & 0xFF); }

// Font style set: any combination of the four flags.
using TFontStyles = std::uint8_t;
inline constexpr TFontStyles fsBold = 1;
inline constexpr TFontStyles fsItalic = 2;
inline constexpr TFontStyles fsUnderline = 4;
inline constexpr TFontStyles fsStrikeOut = 8;

enum TPenStyle : std::uint8_t { psSolid, psClear };
// pmNot inverts what lies under the line, so drawing twice restores it.
enum TPenMode : std::uint8_t { pmCopy, pmNot };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear };

// Holds the change listener; copying an attribute never copies its listener.
class TChangeNotifier {
public:
    TChangeNotifier() = default;
    TChangeNotifier(const TChangeNotifier&) {}
    TChangeNotifier& operator=(const TChangeNotifier&) { return *this; }
    // Called after every change of the attribute, with the attribute itself.
    std::function<void(const void* sender)> OnChange;

protected:
    void Changed() const {
        if (OnChange) OnChange(this);
    }
};

class TPen : public TChangeNotifier {
public:
    TColor Color() const { return color_; }
    int Width() const { return width_; }
    TPenStyle Style() const { return style_; }
    TPenMode Mode() const { return mode_; }
    // Each setter notifies only when the value differs.
    void SetColor(TColor c);
    void SetWidth(int w);
    void SetStyle(TPenStyle s);
    void SetMode(TPenMode m);
    // Takes every attribute of source and notifies once.
    void Assign(const TPen& source);
    bool operator==(const TPen& o) const {
        return color_ == o.color_ && width_ == o.width_ && style_ == o.style_ && mode_ == o.mode_;
    }

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

class TBrush : public TChangeNotifier {
public:
    TColor Color() const { return color_; }
    TBrushStyle Style() const { return style_; }
    // Each setter notifies only when the value differs.
    void SetColor(TColor c);
    void SetStyle(TBrushStyle s);
    // Takes every attribute of source and notifies once.
    void Assign(const TBrush& source);
    bool operator==(const TBrush& o) const { return color_ == o.color_ && style_ == o.style_; }

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

// Height is in pixels; its sign is kept as given and only |Height| is used
// for the size, as the platform's fonts allow either sign.
class TFont : public TChangeNotifier {
public:
    static constexpr int kDefaultHeight = 11;
    const std::string& Name() const { return name_; }
    int Height() const { return height_; }
    TColor Color() const { return color_; }
    TFontStyles Style() const { return style_; }
    // Each setter notifies only when the value differs.
    void SetName(const std::string& n);
    void SetHeight(int h);
    void SetColor(TColor c);
    void SetStyle(TFontStyles s);
    // Takes every attribute of source and notifies once.
    void Assign(const TFont& source);
    bool operator==(const TFont& o) const {
        return name_ == o.name_ && height_ == o.height_ && color_ == o.color_ && style_ == o.style_;
    }

private:
    std::string name_ = "Arial";
    int height_ = kDefaultHeight;
    TColor color_ = clBlack;
    TFontStyles style_ = 0;
};

}  // namespace kel
