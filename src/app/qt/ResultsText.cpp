#include "app/qt/ResultsText.h"

#include <QFontDatabase>

#include "app/qt/SessionBinding.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

TResultsText::TResultsText(TSessionBinding& binding, QWidget* parent) : QPlainTextEdit(parent), binding_(binding) {
    Name(this, "MemoIntermediateResults", QStringLiteral("Intermediate results"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    connect(&binding, &TSessionBinding::ModesChanged, this, &TResultsText::ModesChanged);
    connect(&binding, &TSessionBinding::ResultsChanged, this, &TResultsText::ResultsChanged);
    ModesChanged();
}

void TResultsText::ModesChanged() {
    const bool shown = binding_.Session().ModeDown() == TModeButton::IntermediateResults;
    setVisible(shown);
    if (shown && stale_) ResultsChanged();
}

void TResultsText::ResultsChanged() {
    // The text of a whole long profile is large; it is composed only when
    // someone looks at it.
    stale_ = binding_.Session().ModeDown() != TModeButton::IntermediateResults;
    if (stale_) return;
    QString text;
    for (const std::string& line : binding_.Session().IntermediateResults()) {
        text += QString::fromStdString(line);
        text += QLatin1Char('\n');
    }
    setPlainText(text);
}

}  // namespace kel
