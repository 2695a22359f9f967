#include "app/SessionReport.h"

namespace kel {

TWindowReportInputs SessionReportInputs(const TKelViewSession& session) {
    TWindowReportInputs in;
    in.profile = &session.Profile();
    in.path = session.ProfilePath();
    in.run = session.LastWindowRun();
    for (int id = 0; id < kFieldCount; ++id) {
        auto field = static_cast<TFieldId>(id);
        in.fields.emplace_back(std::string(TKelViewSession::NameOfField(field)), session.FieldValue(field));
    }
    in.switches = {{"btnApplyDeMr", session.CorrectDown()},
                   {"cbT0Start", session.T0AtStart()},
                   {"btnNormId", session.NormIdDown()}};
    in.pointTime = session.PointTime();
    return in;
}

}  // namespace kel
