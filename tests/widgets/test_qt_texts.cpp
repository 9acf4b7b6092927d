// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include "app/chinese_qt_texts.h"
#include "harness.h"

using namespace zeravan;
using zeravan::test::Harness;

// Qt's own texts come in Simplified Chinese, as the rest of the interface, in whatever locale
// the program runs (the test runs in C.UTF-8).
class QtTextsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void editFieldMenuIsChinese_data();
    void editFieldMenuIsChinese();
};

namespace {

// Opens the field's context menu as a right click does and reads its items.
QStringList contextMenuItems(QWidget& field) {
    const QPoint inside(5, 5);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, inside, field.mapToGlobal(inside));
    QApplication::sendEvent(&field, &rightClick);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu) return {};
    QStringList items;
    for (const QAction* action : menu->actions()) {
        // The text ends in a tab and the shortcut.
        if (!action->isSeparator()) items << action->text().section(QLatin1Char('\t'), 0, 0);
    }
    menu->close();
    return items;
}

}  // namespace

void QtTextsTest::initTestCase() {
    QVERIFY2(app::installChineseQtTexts(*QCoreApplication::instance()),
             "Qt's Simplified Chinese translation (qtbase_zh_CN.qm) was not found");
}

void QtTextsTest::editFieldMenuIsChinese_data() {
    QTest::addColumn<QString>("item");
    QTest::newRow("undo") << QStringLiteral("撤消(&U)");
    QTest::newRow("redo") << QStringLiteral("重做(&R)");
    QTest::newRow("cut") << QStringLiteral("剪切(&T)");
    QTest::newRow("copy") << QStringLiteral("复制(&C)");
    QTest::newRow("paste") << QStringLiteral("粘贴(&P)");
    QTest::newRow("delete") << QStringLiteral("删除");
    QTest::newRow("select all") << QStringLiteral("全选");
}

void QtTextsTest::editFieldMenuIsChinese() {
    QFETCH(QString, item);
    Harness h;
    QLineEdit* hourField = h.form1().Combo2->lineEdit();
    QVERIFY(hourField);
    const QStringList items = contextMenuItems(*hourField);
    QVERIFY2(items.contains(item), qPrintable(items.join(QStringLiteral(" | "))));
}

QTEST_MAIN(QtTextsTest)
#include "test_qt_texts.moc"
