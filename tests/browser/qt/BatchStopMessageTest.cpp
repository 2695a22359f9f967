// A batch in the browser that stops at a profile it cannot compute: the user
// learns which profile, why, and what was written before it.
#include <gtest/gtest.h>

#include "browser/qt/BrowserFixture.h"

#include <QDir>
#include <QPushButton>
#include <filesystem>

#include "common/DateTime.h"

namespace fs = std::filesystem;

namespace kel {
namespace {

class BatchStopMessage : public test::BrowserFixture {};

TEST_F(BatchStopMessage, NamesTheFailingProfileAndTheReasonNotACancel) {
    WriteProfile(dir, "a-new.kel", EncodeDateTime({2009, 5, 1, 12, 0, 0, 0}), 3);
    WriteProfile(dir, "c-old.kel", EncodeDateTime({2007, 5, 1, 12, 0, 0, 0}), 5);
    // The middle one's dwell times are all 0: its ppb lines divide by them.
    synth::ProfileOptions options = synth::DefaultOptions(4);
    options.dateOrigin = EncodeDateTime({2008, 5, 1, 12, 0, 0, 0});
    TKel zeroDwell = synth::MakeProfile(options);
    for (auto& dwell : zeroDwell.Cntm) dwell = 0;
    synth::WriteLegacyFile(dir.File("b-mid.kel"), zeroDwell);
    Open();
    StopTimer2();
    browser->findChild<QPushButton*>(QStringLiteral("btBatch"))->click();

    EXPECT_TRUE(fs::exists(dir.File("a-new.kel.csv")));
    EXPECT_FALSE(fs::exists(dir.File("c-old.kel.csv")));  // the batch went no further
    const QStringList said = errors + informed;
    ASSERT_EQ(said.size(), 1) << said.join('\n').toStdString();
    const QString expected = QStringLiteral("Batch conversion stopped at \"b-mid.kel\" (2 of 3): ");
    EXPECT_TRUE(said[0].startsWith(expected)) << said[0].toStdString();
    EXPECT_FALSE(said[0].contains(QStringLiteral("cancelled"))) << said[0].toStdString();
    EXPECT_FALSE(said[0].contains(QStringLiteral("()"))) << said[0].toStdString();
    // The reason follows the name, and where the one converted before it is.
    EXPECT_GT(said[0].size(), expected.size() + 3);
    EXPECT_TRUE(said[0].contains(QStringLiteral("The 1 converted before it are in \"%1\".")
                                     .arg(QDir::toNativeSeparators(QDir::currentPath()))))
        << said[0].toStdString();
}

}  // namespace
}  // namespace kel
