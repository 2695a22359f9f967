#pragma once
// File > "Export image..." and "Export window data...": the main graph as a
// picture file, the selected window's points as a CSV file.
#include <QObject>
#include <QSize>
#include <QString>
#include <functional>

class QWidget;

namespace kel {

class TSessionBinding;
class TXYGraphBox;

// What the image export dialog asked for; an empty path: cancelled.
struct TImageExportChoice {
    QString path;
    QSize size;  // in pixels
};

class TExportCommands : public QObject {
    Q_OBJECT
public:
    TExportCommands(TSessionBinding& binding, TXYGraphBox& graph, QWidget& window);

    // "Export image...": the graph at the chosen size into a .png, .svg or
    // .pdf file, drawn as "kelview-cli plot" draws it.
    void ExportImageClick();
    // "Export window data...": the selected window's points into a CSV file.
    void ExportDataClick();

    // The dialogs, offered the graph's size on the screen; tests answer them.
    std::function<TImageExportChoice(QSize shown)> AskImage;
    std::function<QString()> AskDataPath;

private:
    TSessionBinding& binding_;
    TXYGraphBox& graph_;
    QWidget& window_;
};

}  // namespace kel
