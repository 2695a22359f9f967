#include "app/qt/ResultsText.h"

#include <QFontDatabase>

#include "app/qt/SessionBinding.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

TResultsText::TResultsText(TSessionBinding& binding, QWidget* parent) : QPlainTextEdit(parent), binding_(binding) {
    Name(this, "MemoIntermediateResults", QStringLiteral("Intermediate results"));
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(&binding, &TSessionBinding::ModesChanged, this, &TResultsText::ModesChanged);
    connect(&binding, &TSessionBinding::ResultsChanged, this, &TResultsText::ResultsChanged);
    ModesChanged();
}

void TResultsText::ModesChanged() {
    const bool shown = binding_.Session().ModeDown() == TModeButton::IntermediateResults;
    // The fixed font is looked up when the text is first shown: looking up a
    // second font family costs start-up time for a text most never open.
    if (shown && !fontChosen_) {
        setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        fontChosen_ = true;
    }
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
