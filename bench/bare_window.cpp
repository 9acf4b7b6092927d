// An empty Qt window the size of the main window, without timers: what any Qt program costs.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("BareWindow"));
    window.setFixedSize(388, 249);
    window.show();
    return QApplication::exec();
}
