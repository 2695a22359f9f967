#include "app/qt/SessionBinding.h"

#include <QApplication>
#include <QMessageBox>
#include <QWidget>
#include <exception>
#include <new>

#include "common/Messages.h"

namespace kel {

namespace {

// The busy cursor for as long as a command runs, also when it fails.
class TBusyCursor {
public:
    TBusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace

TSessionBinding::TSessionBinding(TKelViewSession& session, QWidget* window)
    : QObject(window), session_(session), window_(window) {
    ShowError = [this](const QString& message) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
        QMessageBox::critical(window_, QString::fromUtf8(kProgramCaption.data(), kProgramCaption.size()), message);
        QApplication::restoreOverrideCursor();
    };
}

bool TSessionBinding::Run(const std::function<void(TKelViewSession&)>& command) {
    QString failure;
    {
        TBusyCursor busy;
        ++depth_;
        try {
            command(session_);
        } catch (const std::bad_alloc&) {
            failure = QStringLiteral("Out of memory: the command was stopped and nothing more was changed.");
        } catch (const std::exception& error) {
            failure = QString::fromUtf8(error.what());
        } catch (...) {
            failure = QStringLiteral("The command failed for an unknown reason.");
        }
        --depth_;
    }
    if (!failure.isEmpty()) ShowError(failure);
    // What a failed command changed before it stopped is shown as well.
    if (depth_ == 0) Announce(session_.TakeChanges());
    return failure.isEmpty();
}

void TSessionBinding::Announce(TSessionChanges changes) {
    if (changes == chNone) return;
    emit Changed(changes);
    if (changes & chProfile) emit ProfileChanged();
    if (changes & chPlot) emit PlotChanged();
    if (changes & chFields) emit FieldsChanged();
    if (changes & chModes) emit ModesChanged();
    if (changes & chTexts) emit TextsChanged();
    if (changes & chStatus) emit StatusChanged();
    if (changes & chSelection) emit SelectionChanged();
    if (changes & chResults) emit ResultsChanged();
}

}  // namespace kel
