// The start-up peer: a bare Qt Widgets program that shows an empty
// QMainWindow and quits once it has been painted.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

namespace {

class QuitWhenPainted : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    auto* client = new QWidget(&window);
    window.setCentralWidget(client);
    QuitWhenPainted quit;
    client->installEventFilter(&quit);
    window.resize(1400, 860);
    window.show();
    return QApplication::exec();
}
