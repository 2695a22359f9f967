#include "app/qt/KelViewWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>

#include "app/qt/GraphPanel.h"
#include "app/qt/SessionAxesTarget.h"
#include "app/qt/SessionBinding.h"
#include "plot/qt/AxesDlg.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

TFKelView::TFKelView(TKelViewSession& session, SettingsStore& store) : store_(store) {
    setObjectName(QStringLiteral("TFKelView"));
    setWindowTitle(QStringLiteral("Multi Ion Profile"));
    binding_ = new TSessionBinding(session, this);
    graphs_ = new TGraphPanel(*binding_, this);
    setCentralWidget(graphs_);
    status_ = new QLabel(this);
    Name(status_, "StatusBar1", QStringLiteral("Status"));
    statusBar()->addWidget(status_, 1);
    connect(binding_, &TSessionBinding::StatusChanged, this, &TFKelView::StatusChanged);
    CreateCommands();
    FormCreate();
}

void TFKelView::FormCreate() {
    // The whole width of the screen, from the top down.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
    binding_->Run([this](TKelViewSession& session) { session.LoadSettings(store_); });
    StatusChanged();
}

void TFKelView::CreateCommands() {
    QMenu* plot = menuBar()->addMenu(QStringLiteral("&Plot"));
    QAction* showAll = plot->addAction(QStringLiteral("Show A&ll"));
    showAll->setObjectName(QStringLiteral("ShowAll1"));
    showAll->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Return));
    connect(showAll, &QAction::triggered, this,
            [this] { binding_->Run([](TKelViewSession& session) { session.ShowAllClick(); }); });
    QAction* axes = plot->addAction(QStringLiteral("Set A&xes"));
    axes->setObjectName(QStringLiteral("SetAxes1"));
    axes->setShortcut(QKeySequence(Qt::Key_F2));
    connect(axes, &QAction::triggered, this, &TFKelView::AxesClick);
}

bool TFKelView::ShowProfile(const QString& path) {
    return binding_->Run([path](TKelViewSession& session) { session.ShowProfile(path.toStdString()); });
}

void TFKelView::AxesClick() {
    // The dialog is not one command: each of its changes runs as its own,
    // and no busy cursor stays up while the user reads it.
    TSessionAxesTarget target(*binding_);
    ShowAxesDialog(target, this);
}

void TFKelView::StatusChanged() { status_->setText(QString::fromStdString(binding_->Session().StatusText())); }

void TFKelView::closeEvent(QCloseEvent* event) {
    binding_->Session().SaveSettings(store_);
    event->accept();
}

}  // namespace kel
