// The graph's picture on the system clipboard and the window's image printed
// to a PDF file: both work without a display or a printer.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPrinter>

#include "app/qt/GraphOutput.h"
#include "support/SessionTestSupport.h"

namespace kel {
namespace {

TEST(GraphOutput, CopyPicturePutsSvgAndBitmapOnTheClipboard) {
    test::RecordedMessages boxes;
    test::ScratchDir dir;
    QtGraphClipboard clipboard;
    TKelViewSession session{test::TestServices(&clipboard)};
    session.ShowProfile(test::SaveProfile(dir, test::ConstantProfile(3)));
    session.btCopyClick();

    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    const QByteArray svg = data->data(QStringLiteral("image/svg+xml"));
    EXPECT_TRUE(svg.contains("<svg")) << svg.left(200).toStdString();
    ASSERT_TRUE(data->hasImage());
    const QImage bitmap = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(bitmap.size(), QSize(session.Graph1().Width() + 10, session.Graph1().Height() + 10));
}

TEST(GraphOutput, WindowImagePrintsToAPdfFile) {
    test::ScratchDir dir;
    QLabel window(QStringLiteral("Multi Ion Profile"));
    window.resize(400, 300);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.File("window.pdf")));
    ASSERT_TRUE(PrintWindowImage(window, printer));
    const std::string pdf = test::ReadFile(dir.File("window.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0u);
    EXPECT_GT(pdf.size(), 1000u);

    // A printer that cannot start says so instead of printing nothing quietly.
    printer.setOutputFileName(QString::fromStdString(dir.File("missing/window.pdf")));
    EXPECT_FALSE(PrintWindowImage(window, printer));
}

}  // namespace
}  // namespace kel
