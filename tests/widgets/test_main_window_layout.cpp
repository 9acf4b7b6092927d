// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "harness.h"

using namespace zeravan;
using zeravan::test::Harness;

class MainWindowLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void window();
    void designedCaptions();
    void placeholdersUntilTheFirstTick();
    void comboLists();
    void geometry_data();
    void geometry();
    void coloursAndFonts_data();
    void coloursAndFonts();
    void linkCaptionOnTwoLines();
    void stackingOrder();
    void autoSizeLabelFollowsItsCaption();
    void typedTextBecomesTheComboText();
    void hiddenControlsAreNeverWidgets();
    void noKeyPressesAHiddenAction_data();
    void noKeyPressesAHiddenAction();
};

void MainWindowLayoutTest::window() {
    Harness h;
    MainWindowForm& form = h.form1();
    QCOMPARE(form.objectName(), QStringLiteral("form1"));
    QCOMPARE(form.windowTitle(), QStringLiteral("ZeravanV8.0"));
    QCOMPARE(form.size(), QSize(388, 249));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(form.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form.palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(form.Timer1->interval() == 100 && form.Timer2->interval() == 100);
}

void MainWindowLayoutTest::designedCaptions() {
    Harness h;
    MainWindowForm& form = h.form1();
    QCOMPARE(form.Combo1->currentText(), QStringLiteral("今天"));
    QCOMPARE(form.Combo2->currentText(), QStringLiteral("23"));
    QCOMPARE(form.Combo3->currentText(), QStringLiteral("30"));
    QCOMPARE(form.Command4->text(), QStringLiteral("确 定"));
    QCOMPARE(form.Label3->Caption(), QStringLiteral("现在："));
    QCOMPARE(form.Label5->Caption(), QStringLiteral("目 前 状 态："));
    QCOMPARE(form.Label6->Caption(), QStringLiteral("停 止"));
    QCOMPARE(form.Label1->Caption(), QStringLiteral("分关闭电脑"));
    QCOMPARE(form.Label2->Caption(), QStringLiteral("时"));
    QCOMPARE(form.Label14->Caption(), QStringLiteral("请您先设定时间点 确认 开始 ！"));
    QVERIFY(!form.Label14->isHidden());
    QCOMPARE(form.Label16->Caption(), QStringLiteral("访问  官网"));
    QVERIFY(form.Label15->Caption().contains(QStringLiteral("Orrimel")));
    for (forms::Label* label :
         {form.Label8, form.Label9, form.Label10, form.Label11, form.Label12, form.Label13}) {
        QVERIFY2(label->Caption().isEmpty(), qPrintable(label->objectName()));
    }
    QCOMPARE(form.Command1.Caption, QStringLiteral("关机"));
    QCOMPARE(form.Command2.Caption, QStringLiteral("Command2"));
    QCOMPARE(form.Command3.Caption, QStringLiteral("Command3"));
}

void MainWindowLayoutTest::placeholdersUntilTheFirstTick() {
    Harness h;
    MainWindowForm& form = h.form1();
    QCOMPARE(form.Label4->Caption(), QStringLiteral("Label4"));
    QCOMPARE(form.Label7->Caption(), QStringLiteral("Label7"));
    QCOMPARE(form.Text1.Text, QString());
    QCOMPARE(form.Text2.Text, QString());
    QCOMPARE(form.Text3.Text, QStringLiteral("Text3"));
    QCOMPARE(form.Text4.Text, QStringLiteral("Text4"));
    QCOMPARE(form.Text5.Text, QStringLiteral("Text5"));
}

void MainWindowLayoutTest::comboLists() {
    Harness h;
    MainWindowForm& form = h.form1();
    QStringList hours;
    for (int i = 0; i < form.Combo2->count(); ++i) hours << form.Combo2->itemText(i);
    QStringList expectedHours{QStringLiteral("23")};
    for (int hour = 0; hour <= 22; ++hour) expectedHours << QString::number(hour);
    QCOMPARE(hours, expectedHours);

    QCOMPARE(form.Combo3->count(), 59);
    QCOMPARE(form.Combo3->itemText(0), QStringLiteral("01"));
    QCOMPARE(form.Combo3->itemText(58), QStringLiteral("59"));
    QCOMPARE(form.Combo3->findText(QStringLiteral("00")), -1);

    QCOMPARE(form.Combo1->count(), 2);
    QCOMPARE(form.Combo1->itemText(0), QStringLiteral("今天"));
    QCOMPARE(form.Combo1->itemText(1), QStringLiteral("明天"));
    for (QComboBox* combo : {form.Combo1, form.Combo2, form.Combo3}) QVERIFY(combo->isEditable());
}

void MainWindowLayoutTest::geometry_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    // Designed twips at 15 to the pixel.
    QTest::newRow("Frame1") << "Frame1" << QRect(16, 32, 353, 113);
    QTest::newRow("Frame2") << "Frame2" << QRect(0, 168, 393, 81);
    QTest::newRow("WebBrowser1") << "WebBrowser1" << QRect(-13, -10, 433, 113);
    QTest::newRow("Image2") << "Image2" << QRect(-16, -24, 409, 193);
    QTest::newRow("Image1") << "Image1" << QRect(0, 0, 561, 169);
    QTest::newRow("Combo1") << "Combo1" << QRect(24, 32, 57, 20);
    QTest::newRow("Combo2") << "Combo2" << QRect(88, 32, 41, 20);
    QTest::newRow("Combo3") << "Combo3" << QRect(152, 32, 41, 20);
    QTest::newRow("Command4") << "Command4" << QRect(280, 32, 57, 25);
    QTest::newRow("Label16") << "Label16" << QRect(0, 80, 44, 28);
    QTest::newRow("Label5") << "Label5" << QRect(112, 64, 81, 17);
    QTest::newRow("Label10") << "Label10" << QRect(192, 88, 57, 17);
    QTest::newRow("Label11") << "Label11" << QRect(232, 88, 49, 17);
    QTest::newRow("Label12") << "Label12" << QRect(208, 88, 17, 17);
    QTest::newRow("Label13") << "Label13" << QRect(248, 88, 25, 17);
}

void MainWindowLayoutTest::geometry() {
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    Harness h;
    auto* widget = h.form1().findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), pixels);
}

void MainWindowLayoutTest::coloursAndFonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<int>("pixelSize");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<QPoint>("topLeft");
    const QColor text = QApplication::palette().color(QPalette::WindowText);
    QTest::newRow("Label3 now") << "Label3" << text << 12 << true << QPoint(88, 16);
    QTest::newRow("Label4 date-time") << "Label4" << text << 12 << false << QPoint(136, 16);
    QTest::newRow("Label7 weekday") << "Label7" << text << 12 << true << QPoint(280, 16);
    QTest::newRow("Label15 maker")
        << "Label15" << QColor(192, 192, 192) << 12 << false << QPoint(216, 152);
    QTest::newRow("Label6 status")
        << "Label6" << QColor(255, 255, 0) << 12 << true << QPoint(200, 64);
    QTest::newRow("Label5 status title")
        << "Label5" << QColor(255, 255, 255) << 12 << false << QPoint(112, 64);
    QTest::newRow("Label14 hint") << "Label14" << QColor(255, 255, 128) << 12 << false
                                  << QPoint(96, 88);
    QTest::newRow("Label16 site") << "Label16" << QColor(0, 0, 255) << 14 << true << QPoint(0, 80);
    QTest::newRow("Label8 shutdown time") << "Label8" << text << 12 << true << QPoint(88, 88);
    QTest::newRow("Label9 day") << "Label9" << text << 12 << false << QPoint(160, 88);
    QTest::newRow("Label1 minute text") << "Label1" << text << 12 << false << QPoint(200, 40);
    QTest::newRow("Label2 hour text") << "Label2" << text << 12 << false << QPoint(136, 40);
}

void MainWindowLayoutTest::coloursAndFonts() {
    QFETCH(QString, name);
    QFETCH(QColor, colour);
    QFETCH(int, pixelSize);
    QFETCH(bool, bold);
    QFETCH(QPoint, topLeft);
    Harness h;
    auto* label = h.form1().findChild<forms::Label*>(name);
    QVERIFY(label);
    QCOMPARE(label->palette().color(QPalette::WindowText), colour);
    QCOMPARE(label->font().pixelSize(), pixelSize);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(label->pos(), topLeft);
    QVERIFY(!label->autoFillBackground());
}

void MainWindowLayoutTest::linkCaptionOnTwoLines() {
    Harness h;
    forms::Label* label = h.form1().Label16;
    QVERIFY(label->wordWrap());
    const QFontMetrics metrics(label->font());
    const QRect wrapped =
        metrics.boundingRect(QRect(0, 0, label->width(), 1000), Qt::TextWordWrap, label->Caption());
    QCOMPARE(wrapped.height() / metrics.lineSpacing(), 2);
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("访问")) <= label->width());
}

void MainWindowLayoutTest::stackingOrder() {
    Harness h;
    MainWindowForm& form = h.form1();
    // Children are painted in order: later ones lie in front.
    const auto order = [](QWidget* container) {
        QStringList names;
        for (QObject* child : container->children()) {
            if (child->isWidgetType()) names << child->objectName();
        }
        return names;
    };
    const QStringList frontToBack{"Combo1",  "Combo2",  "Combo3",  "Command4", "Label16", "Label14",
                                  "Label13", "Label12", "Label11", "Label10",  "Label9",  "Label8",
                                  "Label6",  "Label5",  "Label1",  "Label2",   "Image1"};
    QStringList backToFront = frontToBack;
    std::reverse(backToFront.begin(), backToFront.end());
    QCOMPARE(order(form.Frame1), backToFront);
    const QStringList window = order(&form);
    QCOMPARE(window.mid(window.indexOf("Image2"), 7),
             QStringList({"Image2", "Label3", "Label4", "Label7", "Label15", "Frame1", "Frame2"}));
}

void MainWindowLayoutTest::autoSizeLabelFollowsItsCaption() {
    Harness h;
    forms::Label* label = h.form1().Label4;
    const QPoint topLeft = label->pos();
    label->setCaption(QStringLiteral("2026/12/7 12:00:00"));
    const QFontMetrics metrics(label->font());
    QCOMPARE(label->width(), metrics.horizontalAdvance(label->Caption()));
    QCOMPARE(label->pos(), topLeft);
}

void MainWindowLayoutTest::typedTextBecomesTheComboText() {
    Harness h;
    QComboBox* combo = h.form1().Combo3;
    combo->show();
    combo->lineEdit()->clear();
    QTest::keyClicks(combo->lineEdit(), QStringLiteral("5"));
    QCOMPARE(combo->currentText(), QStringLiteral("5"));
}

void MainWindowLayoutTest::hiddenControlsAreNeverWidgets() {
    Harness h;
    MainWindowForm& form = h.form1();
    for (const char* name :
         {"Text1", "Text2", "Text3", "Text4", "Text5", "Command1", "Command2", "Command3"}) {
        QVERIFY2(!form.findChild<QWidget*>(QString::fromLatin1(name)), name);
    }
    // Nothing that can take the focus lies outside the client area.
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        if (widget->focusPolicy() == Qt::NoFocus || widget->parentWidget() != &form) continue;
        QVERIFY2(form.rect().intersects(widget->geometry()), qPrintable(widget->objectName()));
    }
}

void MainWindowLayoutTest::noKeyPressesAHiddenAction_data() {
    QTest::addColumn<QList<int>>("keys");
    QTest::newRow("enter") << QList<int>{Qt::Key_Return};
    QTest::newRow("space") << QList<int>{Qt::Key_Space};
    QTest::newRow("tab then enter")
        << QList<int>{Qt::Key_Tab, Qt::Key_Return, Qt::Key_Tab, Qt::Key_Space};
    QTest::newRow("backtab then space") << QList<int>{Qt::Key_Backtab, Qt::Key_Space};
    QList<int> everything;
    for (int i = 0; i < 12; ++i) everything << Qt::Key_Tab << Qt::Key_Return << Qt::Key_Space;
    QTest::newRow("twelve rounds") << everything;
}

void MainWindowLayoutTest::noKeyPressesAHiddenAction() {
    QFETCH(QList<int>, keys);
    Harness h;
    MainWindowForm& form = h.form1();
    form.Show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    for (int key : keys) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &form;
        QTest::keyClick(target, static_cast<Qt::Key>(key));
    }
    QCOMPARE(h.power.count(QStringLiteral("PowerOff")), 0);
    QCOMPARE(h.power.count(QStringLiteral("Reboot")), 0);
    QCOMPARE(h.power.count(QStringLiteral("LogOff")), 0);
    QCOMPARE(h.power.count(QStringLiteral("privilege")), 0);
}

QTEST_MAIN(MainWindowLayoutTest)
#include "test_main_window_layout.moc"
