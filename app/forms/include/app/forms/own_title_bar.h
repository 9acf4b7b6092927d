// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The title bar the program draws for a form where the platform's frame will not do.
#pragma once

#include <QWidget>

namespace zeravan::forms {

// A form's title bar drawn by the program: its icon, its title, dragging moves the window, and
// the close box. It stands in for the platform's frame where that frame offers what a form must
// not do: on Wayland, Qt's frame always offers maximise, and a compositor that maximises a
// window of fixed size ends the program when the window keeps its size.
class OwnTitleBar : public QWidget {
    Q_OBJECT
public:
    static bool neededOnThisPlatform();

    // Puts the bar on top of a form of fixed size, which grows by the bar's height; its
    // controls move down by as much, so the client area stays as designed.
    static void addTo(QWidget& form);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    explicit OwnTitleBar(QWidget& form);
};

}  // namespace zeravan::forms
