#pragma once
// Zooming and panning a graph's axes as the mouse and the keys ask for it,
// and the list of views the user can go back and forward through. Only the
// axes move: curves and comments stay as they are.
#include <cstddef>
#include <vector>

#include "plot/GraphAxesState.h"

namespace kel {

// The axes of graph with its X range zoomed by factor (below 1 zooms in)
// around pixel column px, which keeps showing the same time afterwards (to
// the rounding of a pixel); a logarithmic axis zooms in decades. A zoom that
// would leave no usable range (a span lost in the values' precision, an end
// beyond 1e99, a non-positive end on a log axis) gives the axes unchanged.
TAxesState ZoomedX(const TXYGraph& graph, double px, double factor);

// The same for the Y range around pixel row py.
TAxesState ZoomedY(const TXYGraph& graph, double py, double factor);

// The axes of graph with the content moved dx pixels right and dy pixels
// down, as a drag that holds the plot; unchanged where it would leave no
// usable range.
TAxesState Panned(const TXYGraph& graph, double dx, double dy);

// Sets graph's ranges and scales to axes exactly: scales first, so that a
// logarithmic axis never repairs an end that the next setter replaces.
void RestoreAxes(TXYGraph& graph, const TAxesState& axes);

// True when both hold the same ranges and scales.
bool SameAxes(const TAxesState& a, const TAxesState& b);

// The views a graph showed, oldest first, and the one it shows now.
class TViewHistory {
public:
    // At most this many views are kept; the oldest go first.
    static constexpr std::size_t kMaxSteps = 200;

    // Makes view the current one; the views after the current are dropped.
    // A view equal to the current one adds nothing.
    void Record(const TAxesState& view);
    // Forgets every view.
    void Clear();
    bool CanGoBack() const { return at_ > 0; }
    bool CanGoForward() const { return at_ + 1 < steps_.size(); }
    // One view back or forward; null when there is none (nothing moves).
    const TAxesState* Back();
    const TAxesState* Forward();
    // The current view; null before the first Record.
    const TAxesState* Current() const { return steps_.empty() ? nullptr : &steps_[at_]; }
    std::size_t Size() const { return steps_.size(); }

private:
    std::vector<TAxesState> steps_;
    std::size_t at_ = 0;
};

}  // namespace kel
