#include "RecordingCanvas.h"

#include <cstdlib>

namespace kel::test {

namespace {

std::string Pt(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

}  // namespace

void RecordingCanvas::SetPen(const TPen& p) {
    pen = p;
    ops.push_back("Pen " + std::to_string(p.Color()) + " " + std::to_string(p.Width()) +
                  (p.Style() == psClear ? " clear" : " solid"));
}

void RecordingCanvas::SetBrush(const TBrush& b) {
    brush = b;
    ops.push_back("Brush " + std::to_string(b.Color()) + (b.Style() == bsClear ? " clear" : " solid"));
}

void RecordingCanvas::SetFont(const TFont& f) {
    font = f;
    ops.push_back("Font " + f.Name() + " " + std::to_string(f.Height()));
}

void RecordingCanvas::SetTextAlign(unsigned flags) {
    align = flags;
    ops.push_back("Align " + std::to_string(flags));
}

void RecordingCanvas::SetBackgroundTransparent() {
    transparent = true;
    ops.push_back("Transparent");
}

void RecordingCanvas::MoveTo(int x, int y) {
    current_ = {x, y};
    ops.push_back("MoveTo " + Pt(x, y));
}

void RecordingCanvas::LineTo(int x, int y) {
    segments.push_back({current_, {x, y}, pen});
    current_ = {x, y};
    ops.push_back("LineTo " + Pt(x, y));
}

void RecordingCanvas::Polyline(const TPoint* points, int n) {
    std::string op = "Polyline";
    for (int i = 0; i < n; ++i) {
        op += " " + Pt(points[i].x, points[i].y);
        if (i > 0) segments.push_back({points[i - 1], points[i], pen});
    }
    ops.push_back(op);
}

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    shapes.push_back({false, {x1, y1, x2, y2}, pen, brush});
    ops.push_back("Rectangle " + Pt(x1, y1) + " " + Pt(x2, y2));
}

void RecordingCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    shapes.push_back({true, {x1, y1, x2, y2}, pen, brush});
    ops.push_back("Ellipse " + Pt(x1, y1) + " " + Pt(x2, y2));
}

void RecordingCanvas::FillRect(const TRect& r, TColor colour) {
    ops.push_back("FillRect " + Pt(r.left, r.top) + " " + Pt(r.right, r.bottom) + " " + std::to_string(colour));
}

void RecordingCanvas::TextOut(int x, int y, std::string_view text) {
    texts.push_back({x, y, align, std::string(text), font});
    ops.push_back("Text " + Pt(x, y) + " " + std::string(text));
}

TSize RecordingCanvas::TextExtent(std::string_view text) {
    return {CharWidth * static_cast<int>(text.size()), std::abs(font.Height())};
}

std::vector<std::string> RecordingCanvas::TextStrings() const {
    std::vector<std::string> out;
    for (const auto& t : texts) out.push_back(t.text);
    return out;
}

const RecordedText* RecordingCanvas::FindText(std::string_view s) const {
    for (const auto& t : texts)
        if (t.text == s) return &t;
    return nullptr;
}

int RecordingCanvas::SegmentsAtX(int x) const {
    int n = 0;
    for (const auto& s : segments)
        if (s.a.x == x && s.b.x == x) ++n;
    return n;
}

}  // namespace kel::test
