// A folder where damaged files lie among the profiles, as the browser shows
// it, opens from it and converts it, on the offscreen platform.
#include <gtest/gtest.h>

#include "browser/qt/BrowserFixture.h"
#include "synth/DamagedFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QImage>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <memory>

#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "browser/qt/KelBrowse.h"
#include "common/DateTime.h"
#include "kinetics/KineticsLibrary.h"

namespace fs = std::filesystem;

namespace kel {
namespace {

class DamagedFolder : public test::BrowserFixture {
protected:
    // Newest first: newest.kel (damaged, by its file time), new.kel,
    // header.kel (damaged), old.kel.
    DamagedFolder() {
        const double now = NowDateTime();
        WriteProfile(dir, "new.kel", now - 10, 4);
        WriteProfile(dir, "old.kel", now - 30, 3);
        Damage("header.kel", synth::TDamage::XmlWithoutDate, 20);
        Damage("newest.kel", synth::TDamage::ZipWithoutMember, 1);
        Open();
        // Wide enough that the Details column is in sight.
        browser->resize(1400, 334);
    }
    void Damage(const std::string& name, synth::TDamage damage, int days) {
        synth::WriteDamagedProfile(dir.File(name), damage);
        fs::last_write_time(dir.File(name), fs::file_time_type::clock::now() - std::chrono::hours(24 * days));
    }
    // Whether anything is drawn under the "Details" heading in an unselected row.
    bool DrawnUnderDetails(int row) const {
        const auto* header = browser->findChild<QHeaderView*>(QStringLiteral("HeaderDetails"));
        const QRect item = List()->visualRect(List()->model()->index(row, 0));
        const QImage image = List()->viewport()->grab().toImage();
        const QRgb background = image.pixel(item.topLeft());
        const int from = item.left() + header->sectionPosition(5);
        EXPECT_LT(from + 20, image.width()) << "the Details column is out of sight";
        for (int y = item.top(); y <= item.bottom(); ++y)
            for (int x = from; x < image.width(); ++x)
                if (image.pixel(x, y) != background) return true;
        return false;
    }

};

TEST_F(DamagedFolder, EveryFileIsListedTheDamagedWithTheirReasonAndTheNewestProfileOpens) {
    EXPECT_EQ(Texts(), (std::vector<std::string>{"newest.kel", "new.kel", "header.kel", "old.kel"}));
    EXPECT_EQ(Selected(), "new.kel");
    const QAbstractItemModel* model = List()->model();
    EXPECT_EQ(model->index(0, 0).data(Qt::ToolTipRole).toString(), QStringLiteral("damaged: Index out of range."));
    EXPECT_EQ(model->index(2, 0).data(Qt::ToolTipRole).toString(),
              QStringLiteral("damaged: the date '' is not a valid floating point value"));
    EXPECT_FALSE(model->index(3, 0).data(Qt::ToolTipRole).isValid());
    EXPECT_TRUE(DrawnUnderDetails(0));
    EXPECT_TRUE(DrawnUnderDetails(2));
    EXPECT_FALSE(DrawnUnderDetails(3));
    QTest::qWait(1100);
    EXPECT_EQ(session.Profile().FileName, "new.kel");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(DamagedFolder, AProfileAskedForByPathOpensWithTheFolderListedWhole) {
    test::ScratchDir other;
    WriteProfile(other, "y.kel", NowDateTime() - 5, 1);
    browser->ShowFolder(QString::fromStdString(other.Path()));
    browser->findChild<QTimer*>(QStringLiteral("Timer2"))->stop();
    ASSERT_EQ(Texts(), (std::vector<std::string>{"y.kel"}));

    browser->SystemExecuteMacro(QStringLiteral("open(\"%1\")").arg(QString::fromStdString(dir.File("old.kel"))));
    EXPECT_EQ(session.Profile().FileName, "old.kel");
    EXPECT_EQ(Selected(), "old.kel");
    EXPECT_EQ(Texts(), (std::vector<std::string>{"newest.kel", "new.kel", "header.kel", "old.kel"}));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// A profile still being written does not read as one yet: following the
// newest passes over it and takes the next profile that comes whole.
TEST_F(DamagedFolder, FollowingTheNewestOpensProfilesOnly) {
    // QTRY_* fail silently outside a QtTest run; these waits report.
    const auto listed = [this](std::size_t count) {
        return QTest::qWaitFor([&] { return Texts().size() == count; }, 5000);
    };
    QTest::qWait(1100);  // new.kel opened by the timer
    browser->findChild<QCheckBox*>(QStringLiteral("cbWatch"))->setChecked(true);
    browser->findChild<QCheckBox*>(QStringLiteral("cbFollow"))->setChecked(true);
    test::WriteFileForTest(dir.File("writing.kel"), "<kel><ion>H3O+</ion>");
    ASSERT_TRUE(listed(5));
    EXPECT_EQ(Texts().front(), "writing.kel");
    EXPECT_EQ(session.Profile().FileName, "new.kel");
    EXPECT_EQ(Selected(), "new.kel");
    WriteProfile(dir, "done.kel", NowDateTime() - 2, 5);
    ASSERT_TRUE(listed(6));
    EXPECT_EQ(session.Profile().FileName, "done.kel");
    EXPECT_EQ(Selected(), "done.kel");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(DamagedFolder, TheBatchSkipsTheDamagedWithOneLineEach) {
    browser->findChild<QPushButton*>(QStringLiteral("btBatch"))->click();
    for (const char* name : {"new.kel.csv", "old.kel.csv", "new.kelPpb.csv", "old.kelPpb.csv", "AllFilesPpb.csv"})
        EXPECT_TRUE(fs::exists(dir.File(name))) << name;
    for (const char* name : {"newest.kel.csv", "header.kel.csv", "newest.kelPpb.csv", "header.kelPpb.csv"})
        EXPECT_FALSE(fs::exists(dir.File(name))) << name;
    ASSERT_EQ(informed.size(), 1);
    EXPECT_EQ(informed[0], QStringLiteral("Batch conversion skipped 2 files that could not be read as profiles:\n"
                                          "skipped \"newest.kel\": damaged: Index out of range.\n"
                                          "skipped \"header.kel\": damaged: the date '' is not a valid floating "
                                          "point value"));
    EXPECT_EQ(Selected(), "old.kel");
    EXPECT_EQ(session.Profile().FileName, "old.kel");
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

// A profile that opens with a "Damaged profile" box stops the batch there;
// the box said why, and no summary calls the batch cancelled.
TEST_F(DamagedFolder, ABatchStoppedByAProfileIsNotReportedAsCancelled) {
    synth::ProfileOptions options = synth::DefaultOptions(6);
    options.dateOrigin = NowDateTime();
    // Whole, but claiming more rows than the format has: read on as damaged.
    std::vector<std::uint8_t> bytes = synth::EncodeLegacy(synth::MakeProfile(options));
    bytes[6] = 31;
    synth::WriteBytes(dir.File("rows.kel"), bytes);
    QTest::keyClick(browser, Qt::Key_F5);
    ASSERT_EQ(Texts().front(), "rows.kel");
    boxes.shown.clear();
    browser->findChild<QPushButton*>(QStringLiteral("btBatch"))->click();
    EXPECT_FALSE(fs::exists(dir.File("new.kel.csv")));
    EXPECT_FALSE(boxes.shown.empty());
    EXPECT_TRUE(informed.isEmpty()) << informed.join('\n').toStdString();
}

}  // namespace
}  // namespace kel
