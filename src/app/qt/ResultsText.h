#pragma once
// The intermediate-results text MemoIntermediateResults, shown while
// "(int.res)" is down with what the last ppb calculation went through.
#include <QPlainTextEdit>

namespace kel {

class TSessionBinding;

class TResultsText : public QPlainTextEdit {
    Q_OBJECT
public:
    TResultsText(TSessionBinding& binding, QWidget* parent = nullptr);

private:
    void ModesChanged();
    void ResultsChanged();

    TSessionBinding& binding_;
    bool stale_ = true;  // results changed while the text was hidden
    bool fontChosen_ = false;
};

}  // namespace kel
