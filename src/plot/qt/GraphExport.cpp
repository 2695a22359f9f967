#include "plot/qt/GraphExport.h"

#include <algorithm>
#include <cctype>

#include "common/SafeFile.h"

namespace kel {

bool ImageFormatOfPath(const std::string& path, TImageFormat& format) {
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || path.find_first_of("/\\", dot) != std::string::npos) return false;
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == "png") format = TImageFormat::Png;
    else if (ext == "svg") format = TImageFormat::Svg;
    else if (ext == "pdf") format = TImageFormat::Pdf;
    else return false;
    return true;
}

namespace {

bool SizeFits(const TXYGraph& graph, int width, int height) {
    return width > graph.LeftMargin + graph.RightMargin && height > graph.TopMargin + graph.BottomMargin &&
           width <= kMaxPictureSide && height <= kMaxPictureSide;
}

}  // namespace

QByteArray RenderGraph(TXYGraph& graph, TImageFormat format, int width, int height) {
    if (!SizeFits(graph, width, height)) return {};
    const int oldWidth = graph.Width(), oldHeight = graph.Height();
    graph.SetWidth(width);
    graph.SetHeight(height);
    QByteArray bytes = RenderPicture(format, width, height, [&](TCanvas& canvas) {
        graph.Draw(canvas, {0, 0, width, height});
    });
    graph.SetWidth(oldWidth);
    graph.SetHeight(oldHeight);
    return bytes;
}

bool ExportGraph(TXYGraph& graph, const std::string& path, TImageFormat format, int width, int height,
                 std::string* error) {
    auto fail = [&](const std::string& reason) {
        if (error) *error = reason;
        return false;
    };
    if (!SizeFits(graph, width, height))
        return fail("An image of " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels leaves no room for the plot (at most " + std::to_string(kMaxPictureSide) +
                    " pixels a side)");
    QByteArray bytes = RenderGraph(graph, format, width, height);
    if (bytes.isEmpty()) return fail("The image could not be drawn");
    TIoResult written =
        ReplaceFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    return written ? true : fail(written.reason);
}

}  // namespace kel
