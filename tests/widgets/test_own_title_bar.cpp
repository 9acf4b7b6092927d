// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "app/forms/form.h"
#include "app/forms/own_title_bar.h"

using zeravan::forms::Form;
using zeravan::forms::OwnTitleBar;

// The title bar the program draws where the platform's frame would offer maximise.
class OwnTitleBarTest : public QObject {
    Q_OBJECT
private slots:
    void formGrowsAndControlsMoveDown();
    void offersCloseOnly();
    void closeBoxUnloadsTheForm();
    void notNeededOnOtherPlatforms();
};

namespace {

struct FixedForm : Form {
    FixedForm() {
        setWindowTitle(QStringLiteral("Orrimel"));
        setFixedSize(286, 101);
        control = new QLabel(QStringLiteral("31"), this);
        control->move(152, 16);
    }
    QLabel* control;
};

}  // namespace

void OwnTitleBarTest::formGrowsAndControlsMoveDown() {
    FixedForm form;
    OwnTitleBar::addTo(form);
    auto* bar = form.findChild<OwnTitleBar*>();
    QVERIFY(bar);
    QCOMPARE(bar->geometry().topLeft(), QPoint(0, 0));
    QCOMPARE(bar->width(), 286);
    QCOMPARE(form.size(), QSize(286, 101 + bar->height()));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    QCOMPARE(form.control->pos(), QPoint(152, 16 + bar->height()));
    QVERIFY(form.windowFlags() & Qt::FramelessWindowHint);
}

void OwnTitleBarTest::offersCloseOnly() {
    FixedForm form;
    OwnTitleBar::addTo(form);
    const auto buttons = form.findChild<OwnTitleBar*>()->findChildren<QToolButton*>();
    QCOMPARE(buttons.size(), 1);
    QCOMPARE(buttons.front()->objectName(), QStringLiteral("closeBox"));
    QVERIFY(form.findChild<OwnTitleBar*>()->findChild<QLabel*>(QString()) != nullptr);
}

void OwnTitleBarTest::closeBoxUnloadsTheForm() {
    auto* form = new FixedForm;
    form->Load();
    OwnTitleBar::addTo(*form);
    form->Show();
    QSignalSpy unloaded(form, &Form::unloaded);
    QTest::mouseClick(form->findChild<QToolButton*>(QStringLiteral("closeBox")), Qt::LeftButton);
    QCOMPARE(unloaded.count(), 1);
}

void OwnTitleBarTest::notNeededOnOtherPlatforms() {
    QVERIFY(!OwnTitleBar::neededOnThisPlatform());  // the tests run offscreen
}

QTEST_MAIN(OwnTitleBarTest)
#include "test_own_title_bar.moc"
