#pragma once
// A canvas that remembers every call, so that tests can assert the exact
// pixels and texts a drawing produced. Text metrics are simple and fixed:
// CharWidth pixels per byte, |font height| pixels high.
#include <string>
#include <vector>

#include "plot/Canvas.h"

namespace kel::test {

struct RecordedText {
    int x, y;
    unsigned align;
    std::string text;
    TFont font;
};

struct RecordedSegment {
    TPoint a, b;
    TPen pen;
};

struct RecordedShape {
    bool ellipse;
    TRect box;
    TPen pen;
    TBrush brush;
};

class RecordingCanvas : public TCanvas {
public:
    void SetPen(const TPen& pen) override;
    void SetBrush(const TBrush& brush) override;
    void SetFont(const TFont& font) override;
    void SetTextAlign(unsigned flags) override;
    void SetBackgroundTransparent() override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;
    void Polyline(const TPoint* points, int n) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void FillRect(const TRect& r, TColor colour) override;
    void TextOut(int x, int y, std::string_view text) override;
    TSize TextExtent(std::string_view text) override;

    // The texts in drawing order.
    std::vector<std::string> TextStrings() const;
    // The first text equal to s, or null.
    const RecordedText* FindText(std::string_view s) const;
    // The segments that run exactly vertical (or horizontal) through x (or y).
    int SegmentsAtX(int x) const;

    int CharWidth = 7;
    std::vector<std::string> ops;  // every call, e.g. "MoveTo 41,301"
    std::vector<RecordedText> texts;
    std::vector<RecordedSegment> segments;  // each LineTo and each polyline piece
    std::vector<RecordedShape> shapes;
    TPen pen;
    TBrush brush;
    TFont font;
    unsigned align = 0;
    bool transparent = false;

private:
    TPoint current_;
};

}  // namespace kel::test
