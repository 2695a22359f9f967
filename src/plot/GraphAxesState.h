#pragma once
// What the axes dialog edits on a graph: the four range ends and the two
// scales, read and written in the order the dialog promises.
#include "plot/Xygraphc.h"

namespace kel {

struct TAxesState {
    double xmin = 0, xmax = 100, Ymin = 0, Ymax = 100;
    bool XLog = false, YLog = false;
    bool operator==(const TAxesState&) const = default;
};

// The graph's current ranges and scales.
TAxesState AxesOf(const TXYGraph& graph);

// Ranges first (xmin, xmax, Ymin, Ymax, through the graph's setters), then
// the two scales, as closing the dialog with OK does.
void ApplyAxes(TXYGraph& graph, const TAxesState& axes);

// The scales at once, then both axes fitted to the curves ("Show all" of the
// dialog); returns what the graph shows afterwards.
TAxesState ShowAllWithScales(TXYGraph& graph, bool xLog, bool yLog);

// What an axes dialog edits: a bare graph, or a window's graph whose changes
// must go through the window's own commands.
class TAxesTarget {
public:
    virtual ~TAxesTarget() = default;
    virtual TAxesState Axes() const = 0;
    virtual void Apply(const TAxesState& axes) = 0;
    virtual TAxesState ShowAll(bool xLog, bool yLog) = 0;
};

// The dialog's target for a graph edited directly.
class TGraphAxesTarget : public TAxesTarget {
public:
    explicit TGraphAxesTarget(TXYGraph& graph) : graph_(graph) {}
    TAxesState Axes() const override { return AxesOf(graph_); }
    void Apply(const TAxesState& axes) override { ApplyAxes(graph_, axes); }
    TAxesState ShowAll(bool xLog, bool yLog) override { return ShowAllWithScales(graph_, xLog, yLog); }

private:
    TXYGraph& graph_;
};

}  // namespace kel
