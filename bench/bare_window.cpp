// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// An empty Qt window the size of the main window, without timers: what any Qt program costs.
// With --chinese it shows one caption in the Song-style face the program draws its Chinese in,
// which any program with a Chinese interface pays for on top. With --ticking that caption shows
// the time, set by one of two 100 ms timers, the program's own tick rate.
#include <QApplication>
#include <QLabel>
#include <QTime>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    QWidget window;
    window.setWindowTitle(QStringLiteral("BareWindow"));
    window.setFixedSize(388, 249);
    QLabel caption(QStringLiteral("离关机时间还有"), &window);
    caption.setFont(QFont(QStringLiteral("AR PL UMing CN"), 12));
    caption.move(20, 20);
    caption.setVisible(arguments.contains(QStringLiteral("--chinese")) ||
                       arguments.contains(QStringLiteral("--ticking")));
    QTimer clock;
    QTimer second;
    if (arguments.contains(QStringLiteral("--ticking"))) {
        QObject::connect(&clock, &QTimer::timeout, &caption, [&caption] {
            caption.setText(QTime::currentTime().toString(QStringLiteral("H:mm:ss")));
        });
        clock.start(100);
        second.start(100);
    }
    window.show();
    return QApplication::exec();
}
