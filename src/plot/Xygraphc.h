#pragma once
// The XY graph: axis ranges and scales, tick spacing, titles, layout, the
// curves and the comments of one plot, with the transforms between data and
// pixels. Rendering onto a canvas lives in the Graph*.cpp drawing units.
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "plot/Canvas.h"
#include "plot/GraphAttributes.h"

namespace kel {

enum TScaleType : std::uint8_t { scLin, scLog10 };

// Set of xy* flags. xyAutoRescale is kept for the settings and has no effect.
using TXYOptions = unsigned;
inline constexpr TXYOptions xyAutoXDiv = 1;
inline constexpr TXYOptions xyAutoYDiv = 2;
inline constexpr TXYOptions xyAutoRescale = 4;

// Curve styles and marker kinds.
enum TCurveStyle : std::uint8_t { csLine, csMarkers, csLineMarkers, csSteps, csBars, csBoxes };
enum TMarkerKind : std::uint8_t {
    mkNone, mkDot, mkCircle, mkSquare, mkPlus, mkCross, mkStar, mkTriangleUp, mkTriangleDown, mkBar, mkHollowBar
};

class TCurve {
public:
    TCurve();
    std::vector<double> X;
    std::vector<double> Y;
    std::int32_t Count = 0;    // min(XLength, YLength): the points drawn and scanned
    std::int32_t XLength = 0;
    std::int32_t YLength = 0;
    std::uint8_t MarkerKind = mkDot;
    std::int32_t MarkerSize = 4;  // marker half-size or bar width in pixels
    // With csBoxes, point 2i holds left X and top Y of a box, point 2i+1 its
    // right X and (rounded) its fill colour.
    std::uint8_t Style = csLineMarkers;
    TPen Pen;
    TBrush Brush;
    // A hidden curve keeps its points but is neither drawn nor fitted by
    // "Show all".
    bool Hidden = false;
};

// Owns its curves; an entry may be empty.
class TCurvesList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // The curve at index (null for an empty entry); index must be < Count().
    TCurve* operator[](int index) const { return items_[static_cast<std::size_t>(index)].get(); }
    // Appends curve (which may be null) and takes it over.
    void Add(std::unique_ptr<TCurve> curve) { items_.push_back(std::move(curve)); }
    // Puts curve in place of the entry at index and frees the old one.
    void Replace(int index, std::unique_ptr<TCurve> curve) {
        items_[static_cast<std::size_t>(index)] = std::move(curve);
    }
    // Removes and frees every curve.
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TCurve>> items_;
};

// Position modes, the high byte of TComment::Align.
inline constexpr std::uint16_t kCommentPixelBox = 0x100;   // absolute pixels, filled box
inline constexpr std::uint16_t kCommentFraction = 0x200;   // fractions of the plot area

struct TComment {
    std::string Text;
    std::int32_t PixelX = 0;  // where data-mode placement put it at the last drawing
    std::int32_t PixelY = 0;
    double PosX = 0;
    double PosY = 0;
    std::uint16_t Align = 0;  // low byte: ta* flags; high byte: position mode
    TColor FontColor = clBlack;
    TColor BkColor = 0;       // 0: no background box
    std::int32_t Tag = 0;
    TFontStyles FontStyle = 0;
};

class TGraphClipboard;

class TXYGraph {
public:
    TXYGraph();
    virtual ~TXYGraph() = default;
    // Listeners capture the graph's address, so it neither copies nor moves.
    TXYGraph(const TXYGraph&) = delete;
    TXYGraph& operator=(const TXYGraph&) = delete;

    // Properties. Each setter ignores a value equal to the stored one, then
    // relayouts and notifies; range setters also ignore NaN and infinities.
    double xmin() const { return xmin_; }
    double xmax() const { return xmax_; }
    double Ymin() const { return Ymin_; }
    double Ymax() const { return Ymax_; }
    double Xdiv() const { return Xdiv_; }
    double Ydiv() const { return Ydiv_; }
    TScaleType XScale() const { return XScale_; }
    TScaleType YScale() const { return YScale_; }
    std::int32_t Height() const { return Height_; }
    std::int32_t Width() const { return Width_; }
    TXYOptions Options() const { return Options_; }
    const std::string& TitleBottom() const { return titles_[0]; }
    const std::string& TitleLeft() const { return titles_[1]; }
    const std::string& TitleTop() const { return titles_[2]; }
    const std::string& TitleRight() const { return titles_[3]; }
    TFont& Font() { return Font_; }
    const TFont& Font() const { return Font_; }
    TPen& Pen() { return Pen_; }
    const TPen& Pen() const { return Pen_; }

    void Setxmin(double v);
    void Setxmax(double v);
    // Also refreshes LogYmin / LogYmax when the new value is > 0.
    void SetYmin(double v);
    void SetYmax(double v);
    void SetXdiv(double v);
    void SetYdiv(double v);
    // Switching to scLog10 also sets that axis' minor count to 10.
    void SetXScale(TScaleType s);
    void SetYScale(TScaleType s);
    // Ignored unless larger than the two margins of that direction.
    void SetHeight(std::int32_t h);
    void SetWidth(std::int32_t w);
    // Stores and relayouts even when unchanged.
    void SetOptions(TXYOptions o);
    // Titles notify when the text differs but need no layout.
    void SetTitleBottom(const std::string& t) { SetTitle(1, t); }
    void SetTitleLeft(const std::string& t) { SetTitle(2, t); }
    void SetTitleTop(const std::string& t) { SetTitle(3, t); }
    void SetTitleRight(const std::string& t) { SetTitle(4, t); }
    // Take the attributes of the given font or pen; relayout and notify.
    void SetFont(const TFont& f) { Font_.Assign(f); }
    void SetPen(const TPen& p) { Pen_.Assign(p); }

    // Called with the sender after every change of the model.
    std::function<void(const void* sender)> OnChange;

    double LogYmin = 0;  // log10(Ymin) while Ymin > 0
    double LogYmax = 2;  // log10(Ymax) while Ymax > 0
    std::int32_t XMinorCount = 5;  // minor intervals per tick interval; 1: none
    std::int32_t YMinorCount = 5;
    std::int32_t TickLength = 8;
    std::int32_t TargetDivisions = 8;
    TRect PlotRect;
    TCurvesList Curves;
    double MinLogSpan = 1.2;  // decades that automatic log scaling shows at least
    double MaxLogSpan = 8.0;  // and at most
    std::vector<TComment> Comments;
    std::int32_t LeftMargin = 0, RightMargin = 0, TopMargin = 0, BottomMargin = 0;
    std::int32_t LabelGap = 0;
    // Seconds of the day at x = 0 while the X axis is labelled with clock
    // times (its ticks then fall on round times of day); NaN: plain numbers.
    double XClockOrigin = std::numeric_limits<double>::quiet_NaN();

    // Calls OnChange(sender) when assigned.
    void Changed(const void* sender);
    // Margins and PlotRect from the font and size, repair of non-positive
    // ends of log axes, then automatic tick spacing.
    void UpdateLayout();
    // Automatic tick spacing of the axes whose xyAuto*Div option is set.
    void UpdateDivisions();

    // Makes entry index a curve, appending default curves as needed.
    void EnsureCurve(int index);
    // The curve at index, created when missing.
    TCurve& Curve(int index);
    // n X values evenly spaced from x0 to x1 (n = 1 gives x0); notifies.
    void SetCurveX(int index, int n, double x0, double x1);
    // Copies the first n of values (at least n must be readable); notifies.
    void SetCurveY(int index, const double* values, int n);
    void SetCurveStyle(int index, std::uint8_t style);
    // The curve's pen, whose changes from now on notify the graph.
    TPen& CurvePen(int index);
    // Appends a comment; no notification.
    void AddComment(std::int32_t tag, const std::string& text, double posX, double posY, std::uint16_t align,
                    TColor fontColor, TColor bkColor, TFontStyles fontStyle);
    // Removes the comments with this tag, keeping the others in order; no notification.
    void DeleteComments(std::int32_t tag);

    // Pixel of x, y within +-10000; 10000 for a degenerate range, a value
    // a log axis cannot show, or any arithmetic failure.
    std::int32_t XToPixel(double x) const;
    std::int32_t YToPixel(double y) const;
    TPoint ToPixel(double x, double y) const { return {XToPixel(x), YToPixel(y)}; }
    // Data X of a pixel column; xmin when the arithmetic fails.
    double PixelToX(double px) const;

    // "Show all": fit the X (or Y) range to the curves, with a margin.
    virtual void AutoScaleX();
    virtual void AutoScaleY();

    // Draws the graph with its origin at (rect.left, rect.top) in its own
    // Width x Height; PlotRect and data-mode comment pixels are updated.
    void Draw(TCanvas& canvas, const TRect& rect);
    // Removes every curve; notifies.
    void ClearCurves();
    // Puts the drawing (Width + 10 by Height + 10) on clipboard; false when
    // the clipboard refused it.
    bool CopyToClipboard(TGraphClipboard& clipboard);

    // The drawing steps Draw runs, in its order.
    void DrawAxes(TCanvas& canvas);
    void DrawCurves(TCanvas& canvas);
    void DrawComments(TCanvas& canvas);

private:
    void SetTitle(int index, const std::string& t);
    void PadX(double& lo, double& hi) const;
    void PadY(double& lo, double& hi) const;
    bool RangeChange(double& field, double v);
    void Relayout();

    double xmin_ = 0, xmax_ = 100, Ymin_ = 0, Ymax_ = 100;
    double Xdiv_ = 10, Ydiv_ = 10;
    TScaleType XScale_ = scLin, YScale_ = scLin;
    std::int32_t Height_ = 150, Width_ = 150;
    TXYOptions Options_ = 0;
    std::string titles_[4];
    TFont Font_;
    TPen Pen_;
};

}  // namespace kel
