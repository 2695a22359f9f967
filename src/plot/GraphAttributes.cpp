#include "plot/GraphAttributes.h"

namespace kel {

namespace {

template <class T>
bool Store(T& field, const T& value) {
    if (field == value) return false;
    field = value;
    return true;
}

}  // namespace

void TPen::SetColor(TColor c) {
    if (Store(color_, c)) Changed();
}
void TPen::SetWidth(int w) {
    if (Store(width_, w)) Changed();
}
void TPen::SetStyle(TPenStyle s) {
    if (Store(style_, s)) Changed();
}
void TPen::SetMode(TPenMode m) {
    if (Store(mode_, m)) Changed();
}
void TPen::Assign(const TPen& source) {
    color_ = source.color_;
    width_ = source.width_;
    style_ = source.style_;
    mode_ = source.mode_;
    Changed();
}

void TBrush::SetColor(TColor c) {
    if (Store(color_, c)) Changed();
}
void TBrush::SetStyle(TBrushStyle s) {
    if (Store(style_, s)) Changed();
}
void TBrush::Assign(const TBrush& source) {
    color_ = source.color_;
    style_ = source.style_;
    Changed();
}

void TFont::SetName(const std::string& n) {
    if (Store(name_, n)) Changed();
}
void TFont::SetHeight(int h) {
    if (Store(height_, h)) Changed();
}
void TFont::SetColor(TColor c) {
    if (Store(color_, c)) Changed();
}
void TFont::SetStyle(TFontStyles s) {
    if (Store(style_, s)) Changed();
}
void TFont::Assign(const TFont& source) {
    name_ = source.name_;
    height_ = source.height_;
    color_ = source.color_;
    style_ = source.style_;
    Changed();
}

}  // namespace kel
