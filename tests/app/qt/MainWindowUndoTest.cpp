// Undo and redo through the main window's Edit menu and their keys, on the
// offscreen platform.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"

namespace kel {
namespace {

class MainWindowUndo : public ::testing::Test {
protected:
    MainWindowUndo() { test::UseKinetics(synth::DemoKineticsText()); }
    ~MainWindowUndo() override { KineticsLibrary().Clear(); }

    void Open() {
        window = std::make_unique<TFKelView>(session, store);
        window->resize(1500, 800);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->Binding().ShowError = [this](const QString& message) { errors << message; };
        ASSERT_TRUE(window->ShowProfile(QString::fromStdString(std::string(KELVIEW_SOURCE_DIR) + "/demo/breath-01.kel")));
    }
    template <typename T>
    T* Find(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
    std::vector<std::string> Results() const {
        std::vector<std::string> texts;
        for (const TComment& c : session.Graph1().Comments) texts.push_back(c.Text);
        return texts;
    }

    test::RecordedMessages boxes;
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    std::unique_ptr<TFKelView> window;
    QStringList errors;
};

TEST_F(MainWindowUndo, TheEditMenuAndItsKeysUndoAndRedoAFieldEdit) {
    Open();
    Find<QAction>("BtnPpb")->trigger();
    QAction* undo = Find<QAction>("Undo1");
    QAction* redo = Find<QAction>("Redo1");
    ASSERT_TRUE(undo && redo);
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_EQ(redo->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
    EXPECT_FALSE(redo->isEnabled());
    const std::vector<std::string> before = Results();
    const std::vector<std::string> intermediateBefore = session.IntermediateResults();

    auto* deadTime = Find<QLineEdit>("feDeadT");
    ASSERT_TRUE(deadTime);
    deadTime->setFocus(Qt::TabFocusReason);
    deadTime->selectAll();
    QTest::keyClicks(deadTime, QStringLiteral("0.0003"));
    Find<QLineEdit>("feDe200")->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(session.FieldValue(TFieldId::feDeadT), 0.0003);
    const std::vector<std::string> edited = Results();
    ASSERT_NE(edited, before);
    ASSERT_TRUE(undo->isEnabled());

    undo->trigger();
    EXPECT_EQ(Results(), before);
    EXPECT_EQ(session.IntermediateResults(), intermediateBefore);
    EXPECT_EQ(deadTime->text(), QStringLiteral("0"));
    EXPECT_TRUE(redo->isEnabled());

    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Results(), edited);
    EXPECT_EQ(deadTime->text(), QStringLiteral("0.0003"));
    EXPECT_FALSE(redo->isEnabled());
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Results(), before);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

}  // namespace
}  // namespace kel
