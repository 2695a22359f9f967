#pragma once
// The axes dialog's target for the main graph: every change the dialog makes
// is a command of the session, so the "Log / Linear" button and the menu tick
// follow the new scale.
#include "app/qt/SessionBinding.h"
#include "plot/GraphAxesState.h"

namespace kel {

class TSessionAxesTarget : public TAxesTarget {
public:
    explicit TSessionAxesTarget(TSessionBinding& binding) : binding_(binding) {}
    TAxesState Axes() const override { return AxesOf(binding_.Session().Graph1()); }
    void Apply(const TAxesState& axes) override {
        binding_.Run([&axes](TKelViewSession& session) { session.ApplyMainAxes(axes); });
    }
    TAxesState ShowAll(bool xLog, bool yLog) override {
        binding_.Run([xLog, yLog](TKelViewSession& session) { session.ShowAllMainAxes(xLog, yLog); });
        return Axes();
    }

private:
    TSessionBinding& binding_;
};

}  // namespace kel
