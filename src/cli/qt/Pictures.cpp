#include "cli/qt/Pictures.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

#include "browser/SummaryGraph.h"
#include "cli/CliOptions.h"
#include "cli/Pictures.h"
#include "common/Messages.h"
#include "plot/qt/GraphExport.h"

namespace kel::cli {

namespace {

QtMessageHandler g_qtHandler = nullptr;

// Qt warns when the session has no runtime folder (a cron job, a container)
// and uses one of its own; a picture needs none, so that warning would only
// make a script's log look like a failure. Every other warning passes.
void WithoutRuntimeFolderWarning(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
    if (g_qtHandler)
        g_qtHandler(type, context, text);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

}  // namespace

std::unique_ptr<QGuiApplication> PictureApplication() {
    if (QGuiApplication::instance()) return nullptr;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "kelview-cli";
    static char* argv[] = {name, nullptr};
    g_qtHandler = qInstallMessageHandler(WithoutRuntimeFolderWarning);
    return std::make_unique<QGuiApplication>(argc, argv);
}

void WritePicture(TXYGraph& graph, const std::string& path, int width, int height) {
    TImageFormat format;
    if (!ImageFormatOfPath(path, format)) throw EFailure("\"" + path + "\" does not end in .png, .svg or .pdf");
    std::string error;
    if (!ExportGraph(graph, path, format, width, height, &error)) {
        DebugMessage("Save Error!");
        throw EFailure("\"" + path + "\" was not written: " + error);
    }
}

void CheckPicturePath(const std::string& path, const std::string& option) {
    TImageFormat format;
    if (!ImageFormatOfPath(path, format))
        throw EUsage(option + ": \"" + path + "\" does not end in .png, .svg or .pdf");
}

void WriteSummaryPicture(const std::vector<TSummaryRow>& rows, const std::string& path) {
    std::unique_ptr<QGuiApplication> app = PictureApplication();
    TXYGraph graph;
    graph.SetWidth(kDefaultPictureWidth);
    graph.SetHeight(kDefaultPictureHeight);
    BuildSummaryGraph(graph, rows);
    WritePicture(graph, path, kDefaultPictureWidth, kDefaultPictureHeight);
}

}  // namespace kel::cli
