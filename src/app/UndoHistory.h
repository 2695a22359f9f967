#pragma once
// The pieces of a session's undo history: what one step holds, and how a
// command's changes enter the history once the outermost command ends.
#include <memory>

#include "app/AnalysisState.h"

namespace kel {

class TIntermediateText;
class TKelViewSession;

// A step of the undo history: the analysis, and in the modes that only show
// it the intermediate-results text it had.
struct TUndoEntry {
    TAnalysisState state;
    std::shared_ptr<TIntermediateText> intermediate;
};

// As a step of the user's, taken into the current step (the program's own
// updates), or as the start of a new history.
enum class TStepKind { User, Program, NewHistory };

// Held by each command of the session while it runs; the outermost one
// ends the step as kind says.
class TUndoStep {
public:
    TUndoStep(TKelViewSession& session, TStepKind kind);
    ~TUndoStep();
    TUndoStep(const TUndoStep&) = delete;
    TUndoStep& operator=(const TUndoStep&) = delete;

private:
    TKelViewSession& session_;
    TStepKind kind_;
};

}  // namespace kel
