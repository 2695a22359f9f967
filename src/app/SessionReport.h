#pragma once
// The numbers of the session's last window calculation as a report.
#include "app/KelViewSession.h"
#include "reporting/WindowReport.h"

namespace kel {

// What WriteWindowReport needs of the session: its profile, the last run and
// the controls' state; no run when the window calculation has not run yet.
TWindowReportInputs SessionReportInputs(const TKelViewSession& session);

}  // namespace kel
