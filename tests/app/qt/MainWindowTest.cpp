// The main window as an analyst uses it, on the offscreen platform: first
// start and settings, opening profiles, selecting, switching the axis, editing
// a flow-tube field, logging and the intermediate results, copying count
// rates and saving.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <memory>
#include <set>

#include "app/qt/GraphPanel.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "plot/qt/AxesDlg.h"
#include "plot/qt/FloatEdit.h"
#include "plot/qt/XYGraphBox.h"
#include "support/SessionTestSupport.h"
#include "synth/KineticsGenerator.h"

namespace kel {
namespace {

using Texts = std::vector<std::string>;

class MainWindow : public ::testing::Test {
protected:
    MainWindow() { test::UseKinetics(synth::DemoKineticsText()); }
    ~MainWindow() override { KineticsLibrary().Clear(); }

    TFKelView& Open() {
        window = std::make_unique<TFKelView>(session, store);
        window->resize(1500, 800);
        window->show();
        QApplication::setActiveWindow(window.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->Binding().ShowError = [this](const QString& message) { errors << message; };
        return *window;
    }
    std::string Profile(const std::string& ion, const std::string& name) {
        TKel profile = test::ConstantProfile(3);
        profile.ion = ion;
        return test::SaveProfile(dir, profile, name);
    }
    template <typename T>
    T* Find(const char* name) const {
        return window->findChild<T*>(QLatin1String(name));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->Graphs().XYGraphBox1(), static_cast<Qt::Key>(key), modifiers);
    }

    test::RecordedMessages boxes;
    test::ScratchDir dir;
    MemorySettings store;
    TKelViewSession session{test::TestServices()};
    std::unique_ptr<TFKelView> window;
    QStringList errors;
};

TEST_F(MainWindow, FirstStartShowsInitialValuesAndClosingWritesThemAll) {
    Open();
    EXPECT_EQ(Find<TFloatEdit>("feR2")->text(), QStringLiteral("0.000379"));
    EXPECT_EQ(Find<TFloatEdit>("feliq")->text(), QStringLiteral("0.935"));
    EXPECT_EQ(Find<TFloatEdit>("feD")->text(), QStringLiteral("4.1"));
    window->close();
    EXPECT_EQ(store.FindInteger("IRDefaults", "R2"), 3790);
    EXPECT_EQ(store.FindInteger("VANTOR", "D"), 4100);
    for (const char* name : {"R2", "R3", "b74", "b75", "liq"}) EXPECT_TRUE(store.FindInteger("IRDefaults", name)) << name;
    for (const char* name : {"De200", "Mr200", "Df73", "lr", "D", "SensitMode"})
        EXPECT_TRUE(store.FindInteger("VANTOR", name)) << name;

    store.WriteInteger("IRDefaults", "liq", 940);
    store.WriteInteger("IRDefaults", "R2", 6000);  // 0.0006 lies outside 0.0003..0.0005
    TKelViewSession next{test::TestServices()};
    TFKelView second(next, store);
    EXPECT_EQ(second.findChild<TFloatEdit*>(QStringLiteral("feliq"))->text(), QStringLiteral("0.94"));
    EXPECT_EQ(second.findChild<TFloatEdit*>(QStringLiteral("feR2"))->text(), QStringLiteral("0.000379"));
}

TEST_F(MainWindow, AFamsProfileOpensInIsotopeMode) {
    Open();
    ASSERT_TRUE(window->ShowProfile(QString::fromStdString(Profile("FAMS H3O+", "fams.kel"))));
    EXPECT_TRUE(Find<QAction>("btnIR")->isChecked());
    EXPECT_TRUE(Find<QGroupBox>("pnLIR")->isVisible());
    EXPECT_TRUE(Find<QWidget>("Panel3")->isVisible());
    // The widest row of panels still shows each text from its beginning.
    for (const char* field : {"edFileName", "edIon", "edSample", "edComment"})
        EXPECT_EQ(Find<QLineEdit>(field)->cursorPosition(), 0) << field;
    ASSERT_TRUE(window->ShowProfile(QString::fromStdString(Profile("H3O+", "plain.kel"))));
    EXPECT_FALSE(Find<QAction>("btnIR")->isChecked());
    EXPECT_FALSE(Find<QGroupBox>("pnLIR")->isVisible());
    EXPECT_FALSE(Find<QWidget>("Panel3")->isVisible());
    EXPECT_EQ(Find<QWidget>("StatusBar1")->property("text").toString(), QStringLiteral("plain.kel"));
}

TEST_F(MainWindow, SelectingZoomingAndSwitchingTheAxis) {
    Open();
    ASSERT_TRUE(window->ShowProfile(QString::fromStdString(Profile("H3O+", "p.kel"))));
    TXYGraphBox& box = *window->Graphs().XYGraphBox1();
    const auto results = [this] {
        std::string lines;
        for (const TComment& c : test::CommentsWithTag(session.Graph1(), 0)) lines += c.Text + '\n';
        return lines;
    };
    const std::string before = results();
    const int left = session.Graph1().PlotRect.left;
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(left + 50, 100));
    QTest::mouseRelease(&box, Qt::LeftButton, {}, QPoint(left + 400, 100));
    EXPECT_NE(results(), before);

    box.setFocus();
    Key(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(session.Selection()[0], 0);
    EXPECT_DOUBLE_EQ(session.Selection()[1], session.TotalTime());

    Key(Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(session.Graph1().YScale(), scLin);
    EXPECT_FALSE(Find<QAction>("Logplot1")->isChecked());
    EXPECT_FALSE(Find<QAction>("btnLog")->isChecked());

    // "Set Axes" (F2): the dialog's OK takes the typed range.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<TAxesDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        TFloatEdit* xmax = dialog->findChild<TFloatEdit*>(QStringLiteral("FE2"));
        xmax->selectAll();
        QTest::keyClicks(xmax, QStringLiteral("33"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Button1")), Qt::LeftButton);
    });
    Key(Qt::Key_F2);
    EXPECT_EQ(session.Graph1().xmax(), 33);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MainWindow, EditingTheGasTemperatureRefreshesTheOpenProfile) {
    Open();
    ASSERT_TRUE(window->ShowProfile(QString::fromStdString(Profile("H3O+", "p.kel"))));
    ASSERT_TRUE(window->Binding().Run([](TKelViewSession& s) { s.BtnPpbClick(); }));
    TFloatEdit* tg = Find<TFloatEdit>("feTg");
    ASSERT_TRUE(tg->isVisible());
    tg->setFocus(Qt::TabFocusReason);
    tg->selectAll();
    QTest::keyClicks(tg, QStringLiteral("350"));
    Find<TFloatEdit>("felr")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(static_cast<double>(session.Profile().Tg), 350);
    EXPECT_NE(session.Graph1().TitleTop().find("Tg=350"), std::string::npos) << session.Graph1().TitleTop();

    tg->setFocus(Qt::TabFocusReason);
    tg->selectAll();
    QTest::keyClicks(tg, QStringLiteral("700"));
    Find<TFloatEdit>("felr")->setFocus(Qt::TabFocusReason);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.Texts().back(), "700 is not in the range from 40 to 600");
    EXPECT_EQ(tg->text(), QStringLiteral("70"));  // the last value in range typed on the way
}

TEST_F(MainWindow, TabbingThroughTheFieldsChangesNoValue) {
    Open();
    TKel profile = test::ConstantProfile(3);
    profile.ion = "FAMS H3O+";  // opens in isotope mode, whose fields show
    profile.Aft = 13;           // a tube of 4.0684... cm, shown as 4.07
    ASSERT_TRUE(window->ShowProfile(QString::fromStdString(test::SaveProfile(dir, profile))));
    const TKel before = session.Profile();
    const std::string title = session.Graph1().TitleTop();  // holds the reaction time
    std::set<std::string> visited;
    const auto tabThrough = [&] {
        for (TFloatEdit* field : window->findChildren<TFloatEdit*>()) {
            if (!field->isVisible()) continue;
            SCOPED_TRACE(field->objectName().toStdString());
            const double value = field->Value();
            const QString text = field->text();
            field->setFocus(Qt::TabFocusReason);
            ASSERT_TRUE(field->hasFocus());
            window->Graphs().XYGraphBox1()->setFocus(Qt::TabFocusReason);
            EXPECT_EQ(field->Value(), value);
            EXPECT_EQ(field->text(), text);
            visited.insert(field->objectName().toStdString());
        }
    };
    tabThrough();
    // The flow-tube fields show in "ppb" mode.
    ASSERT_TRUE(window->Binding().Run([](TKelViewSession& s) { s.BtnPpbClick(); }));
    tabThrough();
    EXPECT_EQ(visited.size(), static_cast<std::size_t>(kFieldCount));
    EXPECT_EQ(session.Profile().Aft.ToBytes(), before.Aft.ToBytes());
    EXPECT_EQ(session.Graph1().TitleTop(), title);
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(MainWindow, LogResultsAndIntermediateResults) {
    Open();
    const std::string log = dir.File("multilog.csv");
    window->Binding().Run([&log](TKelViewSession& s) { s.SetLogFileName(log); });
    ASSERT_TRUE(window->ShowProfile(QString::fromStdString(Profile("H3O+", "p.kel"))));
    QTest::mouseClick(Find<QPushButton>("btLogResults"), Qt::LeftButton);
    std::ifstream in(log);
    std::string header, line;
    ASSERT_TRUE(std::getline(in, header));
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line.rfind("p,", 0), 0u) << line;  // the profile's name starts the line

    Find<QAction>("BtnPpb")->trigger();
    auto* memo = Find<QPlainTextEdit>("MemoIntermediateResults");
    EXPECT_FALSE(memo->isVisible());
    Find<QAction>("sbInfo")->trigger();
    EXPECT_TRUE(memo->isVisible());
    EXPECT_FALSE(memo->toPlainText().isEmpty());
    EXPECT_FALSE(Find<QAction>("BtnPpb")->isChecked());  // one of the group at a time
}

TEST_F(MainWindow, CtrlCOnTheGraphCopiesTheSelectedCountRatesRoundedHalvesToEven) {
    Open();
    TKel profile = test::ConstantProfile(2, 1000);  // a rate is half the count
    // Points 3..5 lie in slots 52..54 of the wrapped ring (jm 250, njm 201).
    const int counts19[] = {25, 27, 24}, counts37[] = {21, 23, 200};
    for (std::size_t i = 0; i < 3; ++i) {
        profile.Counts[1][52 + i] = counts19[i];
        profile.Counts[3][52 + i] = counts37[i];
    }
    ASSERT_TRUE(window->ShowProfile(QString::fromStdString(test::SaveProfile(dir, profile, "c.kel"))));
    const double cycle = 4;  // two dwells of 1000 ticks at 500 ticks a second
    window->Binding().Run([cycle](TKelViewSession& s) { s.SelectTimes(3 * cycle, 5 * cycle); });
    QGuiApplication::clipboard()->clear();
    window->Graphs().XYGraphBox1()->setFocus();
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("19\t37\r\n12\t10\r\n14\t12\r\n12\t100\r\n"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MainWindow, SavingAsWorksheetKeepsTheFileNameAndAsProfileReopensIt) {
    Open();
    ASSERT_TRUE(window->ShowProfile(QString::fromStdString(Profile("H3O+", "p.kel"))));
    QString answer;
    window->AskSavePath = [&answer](const QString& proposed) {
        EXPECT_EQ(proposed, QStringLiteral("p.kel"));
        return answer;
    };
    QStringList listed;
    // As the browser does: list the folder, then open the path from there.
    window->ProfileSaved = [this, &listed](const QString& path) {
        listed << path;
        window->ShowProfile(path);
    };
    Find<QLineEdit>("edSample")->setText(QStringLiteral("edited"));  // still being typed

    answer = QString::fromStdString(dir.File("x.CSV"));
    QTest::mouseClick(Find<QPushButton>("btSaveMS"), Qt::LeftButton);
    EXPECT_NE(test::ReadFile(dir.File("x.CSV")).find("\"Names\","), std::string::npos);
    EXPECT_EQ(Find<QLineEdit>("edFileName")->text(), QStringLiteral("p.kel"));
    EXPECT_TRUE(listed.isEmpty());

    answer = QString::fromStdString(dir.File("x.kel"));
    Find<QAction>("Save1")->trigger();
    EXPECT_EQ(Find<QLineEdit>("edFileName")->text(), QStringLiteral("x.kel"));
    EXPECT_EQ(listed, QStringList{QFileInfo(QString::fromStdString(dir.File("x.kel"))).absoluteFilePath()});
    // Opened again from disk: the name without folder, the edit read back.
    EXPECT_EQ(session.Profile().FileName, "x.kel");
    EXPECT_EQ(session.Profile().reactant, "edited");
    EXPECT_TRUE(session.LogHeaderPending());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MainWindow, TypedTextsAndRowNamesKeepEveryCharacter) {
    Open();
    TKel profile = test::ConstantProfile(2, 1000);
    profile.Name[3] = "37 \xB5";  // Windows-1252, as the legacy file holds it
    ASSERT_TRUE(window->ShowProfile(QString::fromStdString(test::SaveProfile(dir, profile, "u.kel"))));
    const QString typed = QString::fromUtf8("exhaled \xC2\xB5g \xC3\xA9t\xC3\xA9");
    auto* sample = Find<QLineEdit>("edSample");
    sample->clear();
    sample->setFocus();
    // Key by key, as a keyboard that has these letters sends them (QTest
    // types ASCII only).
    for (QChar letter : typed) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letter));
        QApplication::sendEvent(sample, &press);
    }
    ASSERT_EQ(sample->text(), typed);
    window->AskSavePath = [this](const QString&) { return QString::fromStdString(dir.File("v.kel")); };
    window->ProfileSaved = [this](const QString& path) { window->ShowProfile(path); };
    Find<QAction>("Save1")->trigger();
    // Read back from the saved file.
    EXPECT_EQ(session.Profile().FileName, "v.kel");
    EXPECT_EQ(session.Profile().reactant, "exhaled \xC2\xB5g \xC3\xA9t\xC3\xA9");
    EXPECT_EQ(sample->text(), typed);

    window->Binding().Run([](TKelViewSession& s) { s.SelectTimes(0, 0); });
    QGuiApplication::clipboard()->clear();
    window->Graphs().XYGraphBox1()->setFocus();
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(QGuiApplication::clipboard()->text().startsWith(QString::fromUtf8("19\t37 \xC2\xB5\r\n")))
        << QGuiApplication::clipboard()->text().toStdString();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(MainWindow, AFailedSaveSaysSoAndKeepsTheEditedProfile) {
    Open();
    ASSERT_TRUE(window->ShowProfile(QString::fromStdString(Profile("H3O+", "p.kel"))));
    window->AskSavePath = [this](const QString&) { return QString::fromStdString(dir.File("missing/x.kel")); };
    bool listed = false;
    window->ProfileSaved = [&listed](const QString&) { listed = true; };
    Find<QLineEdit>("edSample")->setText(QStringLiteral("edited"));
    Find<QAction>("Save1")->trigger();
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.Texts().back(), "Save Error! x.kel: No such file or directory");
    EXPECT_FALSE(listed);
    EXPECT_EQ(session.Profile().reactant, "edited");
    EXPECT_EQ(session.Profile().FileName, "p.kel");
    EXPECT_EQ(Find<QLineEdit>("edSample")->text(), QStringLiteral("edited"));
    EXPECT_EQ(Find<QLineEdit>("edFileName")->text(), QStringLiteral("p.kel"));
}

}  // namespace
}  // namespace kel
