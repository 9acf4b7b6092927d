// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "app/forms/own_title_bar.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>
#include <QWindow>

namespace zeravan::forms {

namespace {
constexpr int barHeight = 26;
constexpr int iconSize = 16;
}  // namespace

bool OwnTitleBar::neededOnThisPlatform() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void OwnTitleBar::addTo(QWidget& form) {
    const QList<QWidget*> controls =
        form.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget* control : controls) control->move(control->pos() + QPoint(0, barHeight));
    form.setFixedSize(form.width(), form.height() + barHeight);
    form.setWindowFlag(Qt::FramelessWindowHint);
    new OwnTitleBar(form);
}

OwnTitleBar::OwnTitleBar(QWidget& form) : QWidget(&form) {
    setObjectName(QStringLiteral("OwnTitleBar"));
    setGeometry(0, 0, form.width(), barHeight);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Mid);

    auto* icon = new QLabel(this);
    icon->setPixmap(form.windowIcon().pixmap(iconSize));
    auto* title = new QLabel(form.windowTitle(), this);
    title->setAlignment(Qt::AlignCenter);
    QFont titleFont = QGuiApplication::font();
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* closeBox = new QToolButton(this);
    closeBox->setObjectName(QStringLiteral("closeBox"));
    closeBox->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    closeBox->setAutoRaise(true);
    closeBox->setFocusPolicy(Qt::NoFocus);
    connect(closeBox, &QToolButton::clicked, &form, &QWidget::close);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 2, 0);
    row->addWidget(icon);
    row->addWidget(title, 1);
    row->addWidget(closeBox);
}

void OwnTitleBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && window()->windowHandle()) {
        window()->windowHandle()->startSystemMove();
    }
}

}  // namespace zeravan::forms
