#include "app/qt/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>

namespace kel {

void QtMessageSink::Show(std::string_view caption, std::string_view text) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())));
    box.setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    box.setTextFormat(Qt::PlainText);
    box.setIcon(caption == "Debug" ? QMessageBox::Warning : QMessageBox::Information);
    box.setWindowModality(Qt::ApplicationModal);
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    box.exec();
    QApplication::restoreOverrideCursor();
}

}  // namespace kel
