#include "plot/GraphAxesState.h"

namespace kel {

TAxesState AxesOf(const TXYGraph& graph) {
    return {graph.xmin(), graph.xmax(), graph.Ymin(), graph.Ymax(), graph.XScale() == scLog10,
            graph.YScale() == scLog10};
}

void ApplyAxes(TXYGraph& graph, const TAxesState& axes) {
    graph.Setxmin(axes.xmin);
    graph.Setxmax(axes.xmax);
    graph.SetYmin(axes.Ymin);
    graph.SetYmax(axes.Ymax);
    graph.SetXScale(axes.XLog ? scLog10 : scLin);
    graph.SetYScale(axes.YLog ? scLog10 : scLin);
}

TAxesState ShowAllWithScales(TXYGraph& graph, bool xLog, bool yLog) {
    graph.SetXScale(xLog ? scLog10 : scLin);
    graph.SetYScale(yLog ? scLog10 : scLin);
    graph.AutoScaleX();
    graph.AutoScaleY();
    return AxesOf(graph);
}

}  // namespace kel
