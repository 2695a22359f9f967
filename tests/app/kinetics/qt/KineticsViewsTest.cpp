// The compound view, the kinetics editor and the window's kinetics commands
// on the offscreen platform, with real widgets and files.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "app/qt/KelViewWindow.h"
#include "app/qt/OptionsDlg.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "app/kinetics/qt/CompoundView.h"
#include "app/kinetics/qt/KineticsCommands.h"
#include "app/kinetics/qt/KineticsEditor.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

// Two compounds named alike, the first with two product lines, then one
// more; their masses need 0, 1 and 2 decimals.
constexpr const char* kLibrary =
    "acetone (C3H6O)\n1\n19 3.9e-9 1\n2\n37 1\n59 1\n"
    "acetone (C3H6O)\n1\n30.5 2e-9 1\n1\n47 1\n"
    "odd (X)\n1\n32.25 2e-9 1\n1\n47 1\n";
constexpr const char* kOneCompound = "methanol (CH4O)\n1\n19 2.7e-9 1\n1\n33 1\n";

class KineticsViews : public ::testing::Test {
protected:
    KineticsViews() {
        mainFile = dir.File("kinetics.txt");
        test::WriteFileForTest(mainFile, kLibrary);
        SetKineticsFileName(mainFile);
        ReloadKineticsLibrary();
        window = std::make_unique<TFKelView>(session, store);
        window->Binding().ShowError = [this](const QString& message) { errors << message; };
        commands = new TKineticsCommands(*window);
    }
    ~KineticsViews() override {
        window.reset();
        ReleaseKineticsLibrary();
    }
    QTableWidget& Grid() const {
        return *commands->CompoundView().findChild<QTableWidget*>(QStringLiteral("StringGrid1"));
    }
    QListWidget& Names() const { return *commands->CompoundView().findChild<QListWidget*>(QStringLiteral("ListBox1")); }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = Grid().item(row, column);
        return item ? item->text() : QString();
    }
    // Runs `whileOpen` once the editor is up, then "Edit Kinetics" to its end.
    void EditKinetics(const std::function<void(TFH3OPtxte&)>& whileOpen) {
        TFH3OPtxte& editor = commands->Editor();
        QTimer::singleShot(0, &editor, [&editor, whileOpen] { whileOpen(editor); });
        commands->EditKineticsClick();
    }
    static void Click(TFH3OPtxte& editor, const char* button) {
        editor.findChild<QPushButton*>(QLatin1String(button))->click();
    }
    static std::vector<std::string> LibraryNames() {
        std::vector<std::string> names;
        for (int i = 0; i < KineticsLibrary().Count(); ++i) names.push_back(KineticsLibrary().Compound(i).Name);
        return names;
    }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
    MemorySettings settings;
    MemorySettings store;
    TKelViewSession session{{KineticsLibrary(), boxes, settings}};
    std::unique_ptr<TFKelView> window;
    TKineticsCommands* commands;
    std::string mainFile;
    QStringList errors;
};

TEST_F(KineticsViews, NamesAreListedOnceAndAlikeCompoundsShowTogetherWithMarks) {
    TKbase library;
    library.LoadText(kLibrary);
    TForm2& view = commands->CompoundView();
    view.ShowLibrary(std::move(library));
    ASSERT_EQ(Names().count(), 2);
    EXPECT_EQ(Names().item(0)->text(), QStringLiteral("acetone"));
    EXPECT_EQ(Names().item(1)->text(), QStringLiteral("odd"));

    // No blank name: the first is chosen. Each compound is followed by a
    // thin separator row; masses stand in fields of 4 and 5 characters.
    ASSERT_EQ(Grid().rowCount(), 5);
    EXPECT_EQ(Cell(0, 1), QStringLiteral("C3H6O"));
    EXPECT_TRUE(Cell(0, 2).startsWith(QStringLiteral("  19   "))) << Cell(0, 2).toStdString();
    EXPECT_TRUE(Cell(0, 3).startsWith(QStringLiteral("  37    "))) << Cell(0, 3).toStdString();
    EXPECT_EQ(Cell(1, 2), QString());
    EXPECT_TRUE(Cell(1, 3).startsWith(QStringLiteral("  59   ")));
    EXPECT_EQ(Grid().rowHeight(2), 4);
    EXPECT_TRUE(Cell(3, 2).startsWith(QStringLiteral(" 30.5   "))) << Cell(3, 2).toStdString();
    EXPECT_EQ(Grid().rowHeight(4), 4);
    EXPECT_EQ(Grid().rowHeight(0), 17);

    // Marking the second compound marks its rows only, and only here.
    Grid().setCurrentCell(3, 2);
    view.StringGrid1DblClick();
    for (int row = 0; row < 5; ++row) {
        const QString mark = row >= 3 ? QStringLiteral("x") : QStringLiteral(" ");
        EXPECT_EQ(Cell(row, 0), mark) << row;
        EXPECT_EQ(Cell(row, 4), mark) << row;
    }
    EXPECT_FALSE(KineticsLibrary().Compound(1).Marked);

    Names().setCurrentRow(1);
    view.FillGrid();
    ASSERT_EQ(Grid().rowCount(), 2);
    EXPECT_TRUE(Cell(0, 2).startsWith(QStringLiteral(" 32.25   "))) << Cell(0, 2).toStdString();
}

TEST_F(KineticsViews, TheOptionsPreviewDocksTheViewAndFollowsTheFileName) {
    TVANTOROptionsDlg options(window->Binding(), window.get());
    options.PreviewKbase = window->KineticsViews.Preview;
    options.FormShow();
    EXPECT_EQ(commands->CompoundView().parentWidget(), options.KbasePreview());
    EXPECT_EQ(Names().count(), 2);

    const std::string other = dir.File("other.txt");
    test::WriteFileForTest(other, kOneCompound);
    options.findChild<QLineEdit*>(QStringLiteral("edKbase"))->setText(QString::fromStdString(other));
    ASSERT_EQ(Names().count(), 1);
    EXPECT_EQ(Names().item(0)->text(), QStringLiteral("methanol"));
    EXPECT_EQ(KineticsLibrary().Count(), 3);  // the program's library is another
}

// The values OK would warn of are listed under the preview's compounds as
// soon as the file is chosen, without a box; a sound file lists none.
TEST_F(KineticsViews, TheOptionsPreviewListsTheFilesWarnings) {
    TVANTOROptionsDlg options(window->Binding(), window.get());
    options.PreviewKbase = window->KineticsViews.Preview;
    options.show();
    auto* warnings = options.KbasePreview()->findChild<QListWidget*>(QStringLiteral("lbKbaseWarnings"));
    ASSERT_NE(warnings, nullptr);
    EXPECT_TRUE(warnings->isHidden());

    const std::string suspect = dir.File("suspect.txt");
    test::WriteFileForTest(suspect, "odd (X)\n1\n19 2.5e-8 1\n1\n333 1\nlate (Y)\n1\n400 2e-9 1\n1\n47 1\n");
    options.findChild<QLineEdit*>(QStringLiteral("edKbase"))->setText(QString::fromStdString(suspect));
    ASSERT_EQ(Names().count(), 2);
    EXPECT_FALSE(warnings->isHidden());  // on its page, which is not the one shown
    QStringList listed;
    for (int i = 0; i < warnings->count(); ++i) listed << warnings->item(i)->text();
    EXPECT_EQ(listed, (QStringList{QStringLiteral("Kbase k= 2.5E-8"), QStringLiteral("Kbase mp= 333"),
                                   QStringLiteral("Kbase mi= 400")}));
    EXPECT_TRUE(boxes.shown.empty());

    options.findChild<QLineEdit*>(QStringLiteral("edKbase"))->setText(QString::fromStdString(mainFile));
    EXPECT_EQ(warnings->count(), 0);
    EXPECT_TRUE(warnings->isHidden());
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(KineticsViews, FindPutsTheCaretOnTheFirstMatchOnly) {
    TFH3OPtxte& editor = commands->Editor();
    editor.LoadText(QString::fromLatin1(kLibrary), QStringLiteral("k.txt"));
    QString answer;
    editor.AskText = [&answer](const QString& caption, const QString& prompt) {
        EXPECT_EQ(caption, QStringLiteral("k.txt"));
        EXPECT_EQ(prompt, QStringLiteral("Find :"));
        return std::optional<QString>(answer);
    };
    answer = QStringLiteral("odd");
    editor.FindClick();
    EXPECT_EQ(editor.Memo()->textCursor().position(), QString::fromLatin1(kLibrary).indexOf(answer));
    EXPECT_FALSE(editor.Memo()->textCursor().hasSelection());
    const int before = editor.Memo()->textCursor().position();
    for (const QString& absent : {QStringLiteral("ODD"), QString()}) {
        answer = absent;
        editor.FindClick();
        EXPECT_EQ(editor.Memo()->textCursor().position(), before);
    }
}

TEST_F(KineticsViews, SavingWritesTheFileAndCancellingStillReloadsIt) {
    EditKinetics([this](TFH3OPtxte& editor) {
        EXPECT_EQ(editor.windowTitle(), QString::fromStdString(mainFile));
        editor.Memo()->setPlainText(QString::fromLatin1(kOneCompound));
        Click(editor, "btSave");
    });
    EXPECT_EQ(test::ReadFile(mainFile), kOneCompound);
    EXPECT_EQ(LibraryNames(), std::vector<std::string>{"methanol"});
    EXPECT_EQ(settings.ReadString(kKineticsSection, kKineticsFileValue, ""), mainFile);

    EditKinetics([this](TFH3OPtxte& editor) {
        test::WriteFileForTest(mainFile, kLibrary);  // changed behind the editor's back
        Click(editor, "btCancel");
    });
    EXPECT_EQ(LibraryNames(), (std::vector<std::string>{"acetone", "acetone", "odd"}));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(QLatin1Char('\n')).toStdString();
}

TEST_F(KineticsViews, AFailedWriteKeepsTheEditedTextAndTheLibraryAndSaysSo) {
    const std::string folder = dir.File("lib");
    std::filesystem::create_directory(folder);
    mainFile = folder + "/kinetics.txt";
    test::WriteFileForTest(mainFile, kLibrary);
    SetKineticsFileName(mainFile);
    ReloadKineticsLibrary();
    bool stayedOpen = false;
    EditKinetics([&](TFH3OPtxte& editor) {
        editor.Memo()->setPlainText(QString::fromLatin1(kOneCompound));
        std::filesystem::remove_all(folder);  // no place left to write to, nor to read from
        Click(editor, "btSave");
        stayedOpen = editor.isVisible() && editor.Text() == QString::fromLatin1(kOneCompound);
        Click(editor, "btCancel");
    });
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("Cannot write file"))) << errors[0].toStdString();
    EXPECT_TRUE(errors[0].contains(QString::fromStdString(mainFile)));
    EXPECT_TRUE(errors[1].startsWith(QStringLiteral("Cannot open file"))) << errors[1].toStdString();
    // The reload failed: the compounds read before are still there.
    EXPECT_EQ(LibraryNames(), (std::vector<std::string>{"acetone", "acetone", "odd"}));
}

TEST_F(KineticsViews, ChangingTheMainFileReadsTheChosenOneAndOpensItsEditor) {
    const std::string other = dir.File("other.txt");
    test::WriteFileForTest(other, kOneCompound);
    commands->AskKineticsFile = [&other](const QString& current) {
        EXPECT_TRUE(current.endsWith(QStringLiteral("kinetics.txt")));
        return QString::fromStdString(other);
    };
    QString caption;
    QTimer::singleShot(0, &commands->Editor(), [this, &caption] {
        caption = commands->Editor().windowTitle();
        Click(commands->Editor(), "btCancel");
    });
    commands->ChangeMainFileClick();
    EXPECT_EQ(caption, QString::fromStdString(other));
    EXPECT_EQ(KineticsFileName(), other);
    EXPECT_EQ(LibraryNames(), std::vector<std::string>{"methanol"});
    EXPECT_EQ(settings.ReadString(kKineticsSection, kKineticsFileValue, ""), other);
}

TEST_F(KineticsViews, AddingASupplementalFileStartsInTheFolderWithNothingChosen) {
    // The real dialog, answered as a user who presses Open at once.
    commands->AskKineticsFile = nullptr;
    QString folder;
    QStringList chosen;
    bool openedSomething = true;
    QTimer::singleShot(0, window.get(), [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        folder = dialog->directory().absolutePath();
        chosen = dialog->selectedFiles();
        QMetaObject::invokeMethod(dialog, "accept");  // "Open", pressed at once
        openedSomething = !dialog->isVisible();
        dialog->reject();
        QTimer::singleShot(0, &commands->Editor(), [this] { Click(commands->Editor(), "btCancel"); });
    });
    window->findChild<QAction*>(QStringLiteral("AddKbase1"))->trigger();
    EXPECT_EQ(folder, QFileInfo(QString::fromStdString(mainFile)).absolutePath());
    EXPECT_TRUE(chosen.isEmpty()) << chosen.join(' ').toStdString();
    EXPECT_FALSE(openedSomething);
    // The main file was not read a second time into its own library.
    EXPECT_EQ(LibraryNames(), (std::vector<std::string>{"acetone", "acetone", "odd"}));
}

}  // namespace
}  // namespace kel
