// An empty Qt window the size of the main window, without timers: what any Qt program costs.
// With --chinese it shows one caption in the Song-style face the program draws its Chinese in,
// which any program with a Chinese interface pays for on top.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("BareWindow"));
    window.setFixedSize(388, 249);
    if (QApplication::arguments().contains(QStringLiteral("--chinese"))) {
        auto* caption = new QLabel(QStringLiteral("离关机时间还有"), &window);
        caption->setFont(QFont(QStringLiteral("AR PL UMing CN"), 12));
        caption->move(20, 20);
    }
    window.show();
    return QApplication::exec();
}
