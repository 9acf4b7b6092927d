// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QTest>

#include "harness.h"
#include "main_window/site.h"

using namespace zeravan;
using zeravan::test::Harness;

class LinksTest : public QObject {
    Q_OBJECT
private slots:
    void loadNavigatesThePanelOnce();
    void eachClickOpensItsAddress_data();
    void eachClickOpensItsAddress();
    void busyPointerOverTheMakersCaption();
    void addressesAreWebAddresses();
};

void LinksTest::loadNavigatesThePanelOnce() {
    Harness h;
    auto* panel = qobject_cast<test::FakePageView*>(h.form1().WebBrowser1);
    QVERIFY(panel);
    QCOMPARE(panel->navigations, QList<QUrl>{site::panelPage});
    h.run(2000);
    QCOMPARE(panel->navigations.size(), 1);
}

void LinksTest::eachClickOpensItsAddress_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QUrl>("address");
    QTest::newRow("Label15 home page") << "Label15" << site::homePage;
    QTest::newRow("Label16 site folder") << "Label16" << site::siteFolder;
}

void LinksTest::eachClickOpensItsAddress() {
    QFETCH(QString, label);
    QFETCH(QUrl, address);
    Harness h;
    h.form1().Show();
    auto* caption = h.form1().findChild<forms::Label*>(label);
    QVERIFY(caption);
    QTest::mouseClick(caption, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseClick(caption, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(h.links.opened, (QList<QUrl>{address, address}));
    QTest::mouseClick(caption, Qt::RightButton, {}, QPoint(2, 2));
    QCOMPARE(h.links.opened.size(), 2);
}

void LinksTest::busyPointerOverTheMakersCaption() {
    Harness h;
    QCOMPARE(h.form1().Label15->cursor().shape(), Qt::BusyCursor);
}

void LinksTest::addressesAreWebAddresses() {
    QVERIFY(site::siteFolder.path().endsWith(QLatin1Char('/')));
    QVERIFY(site::panelPage.toString().startsWith(site::siteFolder.toString()));
    QCOMPARE(site::homePage.path(), QStringLiteral("/"));
    QCOMPARE(site::homePage.host(), site::siteFolder.host());
}

QTEST_MAIN(LinksTest)
#include "test_links.moc"
