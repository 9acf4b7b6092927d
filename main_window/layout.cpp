// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The main window as designed: every control with its place, size, caption, font and colour.
// Controls are created back to front, so each container stacks them as designed.
#include <QLineEdit>

#include "app/forms/qt_text.h"
#include "app/forms/twips.h"
#include "engine/schedule.h"
#include "main_window/main_window_form.h"
#include "main_window/site.h"
#include "own_page.h"

namespace zeravan {

using forms::Label;
using forms::makeLabel;
using forms::songFont;
using forms::twipsRect;

namespace {

const QColor lightGrey(192, 192, 192);

Label* makeBoldLabel(QWidget* parent, const QString& name, const QRect& box,
                     const QString& caption) {
    return forms::makeLabel(parent, name, true, box, caption, songFont(12, true));
}

// A stretched picture that keeps its image only at the size it is shown.
forms::Picture* makePicture(QWidget* parent, const QString& name, const QPixmap& image,
                            const QRect& box) {
    auto* picture = new forms::Picture(
        parent, name,
        image.isNull() ? image
                       : image.scaled(box.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    picture->setGeometry(box);
    return picture;
}

// A screen reader's name for a combo box. Where Qt speaks AT-SPI, a combo box's own name is its
// text, so the edit field that takes the focus carries the name as well.
void nameCombo(QComboBox* combo, const QString& name) {
    combo->setAccessibleName(name);
    combo->lineEdit()->setAccessibleName(name);
}

void paintBackground(QWidget* widget, const QColor& color) {
    QPalette colors = widget->palette();
    colors.setColor(QPalette::Window, color);
    widget->setPalette(colors);
    widget->setAutoFillBackground(true);
}

}  // namespace

MainWindowForm::MainWindowForm(MainWindowServices services) : services_(std::move(services)) {
    buildWindow();
    buildSchedulePanel();
    buildWebBand();
    // Both pictures hold their own scaled copies; the decoded original need not stay.
    services_.background = QPixmap();
    buildHiddenControls();
    buildMenu();
    setTabOrder();
    connectHandlers();
}

void MainWindowForm::buildWindow() {
    setObjectName(QStringLiteral("form1"));
    setWindowTitle(QStringLiteral("ZeravanV8.0"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowIcon(services_.icon);
    setFixedSize(forms::px(5820), forms::px(3735));
    setFont(songFont(12));
    paintBackground(this, lightGrey);
    centreOnScreen();

    Image2 = makePicture(this, QStringLiteral("Image2"), services_.background,
                         twipsRect(-240, -360, 6135, 2895));
    Label3 = makeBoldLabel(this, QStringLiteral("Label3"), twipsRect(1320, 240, 585, 180),
                           QStringLiteral("现在："));
    Label4 = makeLabel(this, QStringLiteral("Label4"), true, twipsRect(2040, 240, 540, 180),
                       QStringLiteral("Label4"));
    Label7 = makeBoldLabel(this, QStringLiteral("Label7"), twipsRect(4200, 240, 630, 180),
                           QStringLiteral("Label7"));
    Label15 = makeLabel(this, QStringLiteral("Label15"), true, twipsRect(3240, 2280, 2250, 180),
                        site::makerCaption);
    Label15->setForeColor(lightGrey);
    Label15->setCursor(Qt::BusyCursor);
}

void MainWindowForm::buildSchedulePanel() {
    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::NoFrame);
    Frame1->setGeometry(twipsRect(240, 480, 5295, 1695));
    paintBackground(Frame1, lightGrey);

    Image1 = makePicture(Frame1, QStringLiteral("Image1"), services_.background,
                         twipsRect(0, 0, 8415, 2535));
    Label2 = makeLabel(Frame1, QStringLiteral("Label2"), true, twipsRect(2040, 600, 180, 180),
                       QStringLiteral("时"));
    Label1 = makeLabel(Frame1, QStringLiteral("Label1"), true, twipsRect(3000, 600, 900, 180),
                       QStringLiteral("分关闭电脑"));
    Label5 = makeLabel(Frame1, QStringLiteral("Label5"), false, twipsRect(1680, 960, 1215, 255),
                       QStringLiteral("目 前 状 态："));
    Label5->setForeColor(Qt::white);
    Label6 = makeBoldLabel(Frame1, QStringLiteral("Label6"), twipsRect(3000, 960, 495, 180),
                           forms::q(engine::initialStatus));
    Label6->setForeColor(QColor(255, 255, 0));
    Label6->setSpokenAs(QStringLiteral("目前状态："));
    Label8 = makeBoldLabel(Frame1, QStringLiteral("Label8"), twipsRect(1320, 1320, 105, 180), {});
    Label9 = makeLabel(Frame1, QStringLiteral("Label9"), true, twipsRect(2400, 1320, 90, 180), {});
    Label10 =
        makeLabel(Frame1, QStringLiteral("Label10"), false, twipsRect(2880, 1320, 855, 255), {});
    Label11 =
        makeLabel(Frame1, QStringLiteral("Label11"), false, twipsRect(3480, 1320, 735, 255), {});
    Label12 =
        makeLabel(Frame1, QStringLiteral("Label12"), false, twipsRect(3120, 1320, 255, 255), {});
    Label13 =
        makeLabel(Frame1, QStringLiteral("Label13"), false, twipsRect(3720, 1320, 375, 255), {});
    Label14 = makeLabel(Frame1, QStringLiteral("Label14"), true, twipsRect(1440, 1320, 2610, 180),
                        QStringLiteral("请您先设定时间点 确认 开始 ！"));
    Label14->setForeColor(QColor(255, 255, 128));
    Label16 = makeLabel(Frame1, QStringLiteral("Label16"), false, twipsRect(0, 1200, 660, 420),
                        QStringLiteral("访问  官网"), songFont(14, true));
    Label16->setForeColor(QColor(0, 0, 255));

    Command4 = new QPushButton(forms::q(engine::initialConfirmCaption), Frame1);
    Command4->setObjectName(QStringLiteral("Command4"));
    Command4->setGeometry(twipsRect(4200, 480, 855, 375));
    Command4->setAccessibleName(QStringLiteral("确定或修改关机时间"));
    Combo3 = forms::makeCombo(
        Frame1, QStringLiteral("Combo3"),
        [] {
            QStringList minutes;
            for (int minute = 1; minute <= 59; ++minute) {
                minutes << QStringLiteral("%1").arg(minute, 2, 10, QLatin1Char('0'));
            }
            return minutes;
        }(),
        QStringLiteral("30"));
    Combo3->setGeometry(twipsRect(2280, 480, 615, 300));
    nameCombo(Combo3, QStringLiteral("关机时间：分"));
    Combo2 = forms::makeCombo(
        Frame1, QStringLiteral("Combo2"),
        [] {
            QStringList hours{QStringLiteral("23")};
            for (int hour = 0; hour <= 22; ++hour) hours << QString::number(hour);
            return hours;
        }(),
        QStringLiteral("23"));
    Combo2->setGeometry(twipsRect(1320, 480, 615, 300));
    nameCombo(Combo2, QStringLiteral("关机时间：时"));
    Combo1 =
        forms::makeCombo(Frame1, QStringLiteral("Combo1"),
                         {QStringLiteral("今天"), QStringLiteral("明天")}, QStringLiteral("今天"));
    Combo1->setGeometry(twipsRect(360, 480, 855, 300));
    // The combos have no label of their own that a screen reader could borrow.
    nameCombo(Combo1, QStringLiteral("关机日期：今天或明天"));
}

void MainWindowForm::buildWebBand() {
    Frame2 = new QFrame(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame2->setFrameShape(QFrame::NoFrame);
    Frame2->setGeometry(twipsRect(0, 2520, 5895, 1215));
    WebBrowser1 = services_.makeWebPanel(Frame2);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->setOwnPage(ownPage);
    WebBrowser1->setGeometry(twipsRect(-200, -150, 6495, 1695));
    // The panel overhangs its frame on every side; the overhang is where a browser keeps its
    // border and scroll bars, so the page itself shows in exactly the part the frame leaves open.
    WebBrowser1->setContentsMargins(forms::px(200), forms::px(150), forms::px(400), forms::px(330));
}

void MainWindowForm::buildHiddenControls() {
    Text3.Text = QStringLiteral("Text3");
    Text4.Text = QStringLiteral("Text4");
    Text5.Text = QStringLiteral("Text5");
    Command1.Caption = QStringLiteral("关机");
    Command2.Caption = QStringLiteral("Command2");
    Command3.Caption = QStringLiteral("Command3");
    Timer1 = addTimer(100, [this] { Timer1_Timer(); });
    Timer2 = addTimer(100, [this] { Timer2_Timer(); });
}

void MainWindowForm::buildMenu() {
    f00 = new QMenu(QStringLiteral("a00"), this);
    f00->setObjectName(QStringLiteral("f00"));
    F01 = f00->addMenu(QStringLiteral("打开"));
    F01->setObjectName(QStringLiteral("F01"));
    F02 = F01->addAction(QStringLiteral("退出"));
    F02->setObjectName(QStringLiteral("F02"));
    services_.tray.setMenu(f00);
}

// The visible controls keep their designed relative order; the hidden actions have no place in
// it, so no key can ever press them.
void MainWindowForm::setTabOrder() {
    QWidget::setTabOrder(Command4, Combo3);
    QWidget::setTabOrder(Combo3, Combo2);
    QWidget::setTabOrder(Combo2, Combo1);
    QWidget::setTabOrder(Combo1, WebBrowser1);
}

void MainWindowForm::connectHandlers() {
    connect(Command4, &QPushButton::clicked, this, &MainWindowForm::Command4_Click);
    // 明天 is the day after the day it was chosen on, however the clock moves afterwards.
    connect(Combo1, &QComboBox::editTextChanged, this,
            [this] { chosenDay_.madeOn(services_.clock.now().date); });
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    Command3.Click = [this] { Command3_Click(); };
    connect(F01, &QMenu::aboutToShow, this, &MainWindowForm::F01_Click);
    connect(F02, &QAction::triggered, this, &MainWindowForm::F02_Click);
    connect(Label15, &Label::Click, this, &MainWindowForm::Label15_Click);
    connect(Label16, &Label::Click, this, &MainWindowForm::Label16_Click);
    connect(&services_.power, &platform::PowerPort::requestTaken, this,
            &MainWindowForm::reportTaken);
    connect(&services_.power, &platform::PowerPort::requestRefused, this,
            &MainWindowForm::reportRefusal);
    connect(&services_.power, &platform::PowerPort::requestUnreachable, this,
            &MainWindowForm::reportUnreachable);
    connect(&services_.power, &platform::PowerPort::requestLost, this, &MainWindowForm::reportLost);
    connect(&services_.power, &platform::PowerPort::requestCancelled, this,
            &MainWindowForm::reportCancelled);
    connect(&services_.power, &platform::PowerPort::requestOverdue, this,
            &MainWindowForm::reportOverdue);
    connect(&services_.tray, &platform::TrayPort::mouseMessage, this,
            [this](int code) { Form_MouseMove(static_cast<float>(code) * forms::TwipsPerPixelX); });
}

}  // namespace zeravan
