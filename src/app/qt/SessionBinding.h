#pragma once
// How the window's widgets bind to the session: they read it through
// Session(), change it only inside Run, and re-read their own part when the
// signal of that part fires at the end of a command.
#include <QObject>
#include <QString>
#include <functional>

#include "app/KelViewSession.h"
#include "app/SessionChanges.h"

class QWidget;

namespace kel {

class TSessionBinding : public QObject {
    Q_OBJECT
public:
    // Binds to session for the life of window, over which error boxes open.
    TSessionBinding(TKelViewSession& session, QWidget* window);

    const TKelViewSession& Session() const { return session_; }
    // The graph a control shows: for drawing, sizing and listening only.
    TXYGraph& DrawingGraph(int box) { return session_.DrawingGraph(box); }

    // Runs one user action: busy cursor while it runs, any error of the core
    // caught and shown in an error box, then the change signals. A command
    // started inside another (a dialog's own commands) reports with the
    // outer one. False when the command failed.
    bool Run(const std::function<void(TKelViewSession&)>& command);

    // Shows an error; the default is the platform's error box over the
    // window. Tests replace it to record what a user would have read.
    std::function<void(const QString& message)> ShowError;

signals:
    void Changed(kel::TSessionChanges changes);
    void ProfileChanged();
    void PlotChanged();
    void FieldsChanged();
    void ModesChanged();
    void TextsChanged();
    void StatusChanged();
    void SelectionChanged();
    void ResultsChanged();

private:
    void Announce(TSessionChanges changes);

    TKelViewSession& session_;
    QWidget* window_;
    int depth_ = 0;
};

}  // namespace kel
