// The numeric field and the axes dialog driven with real keys and clicks.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <cmath>

#include "plot/qt/AxesDlg.h"
#include "plot/qt/FloatEdit.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

using Texts = std::vector<std::string>;

// A field beside another control that takes the focus when the user leaves.
struct FieldForm {
    FieldForm(double value, double minValue, double maxValue) {
        auto* layout = new QVBoxLayout(&window);
        field = new TFloatEdit(&window);
        other = new TFloatEdit(&window);
        layout->addWidget(field);
        layout->addWidget(other);
        field->Configure(minValue, maxValue);
        field->SetValue(value);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        field->setFocus(Qt::TabFocusReason);
    }
    void Type(const char* text) {
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, QString::fromLatin1(text));
    }
    void Leave() { other->setFocus(Qt::TabFocusReason); }
    std::string Text() const { return field->text().toStdString(); }

    QWidget window;
    TFloatEdit* field;
    TFloatEdit* other;
};

TEST(FloatEditTyping, RefusedTextIsExplainedAndUndone) {
    test::RecordedMessages boxes;
    FieldForm form(2, 0.01, 100);
    form.Type("150");
    EXPECT_EQ(form.field->Value(), 15);  // the last text in range, typed on the way
    form.Leave();
    EXPECT_EQ(boxes.Texts(), Texts{"150 is not in the range from 0.01 to 100"});
    EXPECT_EQ(form.field->Value(), 15);
    EXPECT_EQ(form.Text(), "15");
    EXPECT_EQ(form.field->selectedText(), QStringLiteral("15"));
    EXPECT_TRUE(form.field->hasFocus());

    form.Type("abc");
    form.Leave();
    EXPECT_EQ(boxes.Texts().back(), "'abc' is not a valid floating point value");
    EXPECT_EQ(form.Text(), "15");

    form.Type(" 3.5 ");
    EXPECT_EQ(form.Text(), "3.5");  // trimmed as it is typed
    EXPECT_EQ(form.field->Value(), 3.5);
    form.Leave();
    EXPECT_EQ(form.Text(), "3.5");
    EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST(FloatEditTyping, AnEmptiedFieldWaitsForItsNewValue) {
    test::RecordedMessages boxes;
    FieldForm form(300, 100, 500);  // a gas temperature, where 0 ends every calculation
    QSignalSpy changes(form.field, &TFloatEdit::OnChange);
    form.Type("");
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(form.field->Value(), 300);
    form.Leave();
    EXPECT_EQ(boxes.Texts(), Texts{"0 is not in the range from 100 to 500"});
    EXPECT_EQ(form.Text(), "300");

    FieldForm level(2, -5, 100);  // where 0 is a value like any other
    level.Type("");
    level.Leave();
    EXPECT_EQ(level.field->Value(), 0);
    EXPECT_EQ(level.Text(), "0");
}

TEST(FloatEditSpin, ArrowKeysStepATenthOfTheDecade) {
    FieldForm form(5, -1e99, 1e99);
    const auto step = [&](double from, Qt::Key key) {
        form.field->SetValue(from);
        QTest::keyClick(form.field, key);
        return form.field->Value();
    };
    EXPECT_DOUBLE_EQ(step(5, Qt::Key_Up), 5.1);
    EXPECT_DOUBLE_EQ(step(5, Qt::Key_Down), 4.9);
    EXPECT_DOUBLE_EQ(step(0.05, Qt::Key_Up), 0.06);
    EXPECT_DOUBLE_EQ(step(0.05, Qt::Key_Down), 0.04);
    EXPECT_EQ(step(0, Qt::Key_Up), 1);
    EXPECT_EQ(step(0, Qt::Key_Down), -1);

    form.field->SetSpinButton(true);
    QWidget* arrows = form.field->findChild<QWidget*>();
    ASSERT_NE(arrows, nullptr);
    form.field->SetValue(50);
    QTest::mouseClick(arrows, Qt::LeftButton, {}, QPoint(arrows->width() / 2, 1));
    EXPECT_EQ(form.field->Value(), 51);
}

TEST(FloatEditDisplay, PrecisionDigits) {
    TFloatEdit field;
    field.Configure(-1e99, 1e99, 0, 3);
    field.SetValue(1.0 / 3);
    EXPECT_EQ(field.text(), QStringLiteral("0.333"));
    field.SetValue(12345);
    EXPECT_EQ(field.text(), QStringLiteral("1.23E04"));
}

TEST(AxesDialog, ShowAllThenCloseKeepsTheNewRangesAndScale) {
    TXYGraph graph;
    graph.SetCurveX(0, 3, 1, 3);
    const double ys[] = {10, 20, 40};
    graph.SetCurveY(0, ys, 3);
    graph.SetYmin(1);
    graph.SetYmax(1000);
    graph.SetYScale(scLog10);
    TGraphAxesTarget target(graph);
    TAxesDlg dialog(target);
    dialog.show();
    auto* cb2 = dialog.findChild<QCheckBox*>(QStringLiteral("CB2"));
    auto* close = dialog.findChild<QPushButton*>(QStringLiteral("btnCancel"));
    ASSERT_TRUE(cb2 && close);
    EXPECT_TRUE(cb2->isChecked());
    cb2->setChecked(false);
    QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("BtnShowAll")), Qt::LeftButton);
    EXPECT_EQ(graph.YScale(), scLin);
    const double ymin = graph.Ymin(), ymax = graph.Ymax();
    EXPECT_LE(ymax, 100);  // fitted to the curve
    EXPECT_EQ(close->text(), QStringLiteral("&Close"));
    EXPECT_EQ(dialog.findChild<TFloatEdit*>(QStringLiteral("FE4"))->Value(), ymax);
    QTest::mouseClick(close, Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(graph.YScale(), scLin);
    EXPECT_EQ(graph.Ymin(), ymin);
    EXPECT_EQ(graph.Ymax(), ymax);
}

}  // namespace
}  // namespace kel
