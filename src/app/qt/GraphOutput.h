#pragma once
// The graph's pictures leaving the program: the platform's clipboard for
// "Copy picture", and the printer for "Print".
#include "plot/GraphClipboard.h"

class QPrinter;
class QWidget;

namespace kel {

// The system clipboard as the graphs' clipboard: each copy replaces its
// contents with the picture as SVG and as a bitmap (offered as PNG).
class QtGraphClipboard : public TGraphClipboard {
public:
    bool PutPicture(int width, int height, const std::function<void(TCanvas&)>& draw) override;
};

// Prints an image of window, scaled to fit printer's page and keeping its
// proportions; false when the printer could not be started.
bool PrintWindowImage(QWidget& window, QPrinter& printer);

// "Print": the print dialog over window, then window's image on the chosen
// printer; a printer that cannot be started is reported in a message box.
void btPrintClick(QWidget& window);

}  // namespace kel
