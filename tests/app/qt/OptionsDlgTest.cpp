// The options dialog over a session with a profile in ppb mode: what it shows,
// what "&Apply", "OK" and "Cancel" leave behind.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "app/qt/OptionsDlg.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"

namespace kel {
namespace {

class OptionsDialog : public ::testing::Test {
protected:
    OptionsDialog() : binding(session, &window), dialog(binding, &window) {
        binding.ShowError = [this](const QString& message) { errors << message; };
        test::WriteFileForTest(mainFile, synth::DemoKineticsText());
        test::WriteFileForTest(otherFile, synth::DemoKineticsText());
        SetKineticsFileName(mainFile);
        ReloadKineticsLibrary();
        session.ShowProfile(std::string(KELVIEW_SOURCE_DIR) + "/demo/breath-01.kel");
        session.BtnPpbClick();
        session.SetSensitMode(3);
        session.TakeChanges();
    }
    ~OptionsDialog() override { ReleaseKineticsLibrary(); }

    template <class T>
    T* Control(const char* name) {
        T* control = dialog.findChild<T*>(QLatin1String(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    QString FileField() { return Control<QLineEdit>("edKbase")->text(); }
    QRadioButton* Item(int item) { return Control<QRadioButton>(("rbSensitivity" + std::to_string(item)).c_str()); }
    bool Checked(int item) { return Item(item)->isChecked(); }
    void Choose(int item) {
        Item(item)->click();
        ASSERT_TRUE(Item(item)->isChecked());
    }
    void Click(const char* button) { QTest::mouseClick(Control<QPushButton>(button), Qt::LeftButton); }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
    const std::string mainFile = dir.File("main.txt");
    const std::string otherFile = dir.File("other.txt");
    QWidget window;
    TKelViewSession session{test::TestServices()};
    TSessionBinding binding;
    TVANTOROptionsDlg dialog;
    QStringList errors;
};

TEST_F(OptionsDialog, ApplySetsTheChoicesAndStaysOpen) {
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("VANTOR options"));
    EXPECT_EQ(FileField(), QString::fromStdString(mainFile));
    EXPECT_TRUE(Checked(3));
    EXPECT_FALSE(Control<QPushButton>("btHelp")->isVisible());

    QSignalSpy plot(&binding, &TSessionBinding::PlotChanged);
    Choose(2);
    Control<QLineEdit>("edKbase")->setText(QString::fromStdString(otherFile));
    Click("btApply");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(session.SensitMode(), 2);
    EXPECT_EQ(KineticsFileName(), otherFile);
    EXPECT_EQ(plot.count(), 1);
    EXPECT_TRUE(Checked(2));
    EXPECT_EQ(FileField(), QString::fromStdString(otherFile));
    EXPECT_GT(session.Graph1().Curves.Count(), 1);  // the ppb curves of the new library

    Choose(4);
    Click("btOK");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(session.SensitMode(), 4);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(OptionsDialog, CancelAndEscapeChangeNothing) {
    QSignalSpy changed(&binding, &TSessionBinding::Changed);
    for (bool escape : {false, true}) {
        dialog.show();
        Choose(0);
        Control<QLineEdit>("edKbase")->setText(QString::fromStdString(otherFile));
        if (escape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            Click("btCancel");
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(session.SensitMode(), 3);
        EXPECT_EQ(KineticsFileName(), mainFile);
    }
    EXPECT_EQ(changed.count(), 0);
    // Shown again, it reads the session, not the abandoned choices.
    dialog.show();
    EXPECT_TRUE(Checked(3));
    EXPECT_EQ(FileField(), QString::fromStdString(mainFile));
}

}  // namespace
}  // namespace kel
