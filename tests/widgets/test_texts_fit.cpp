// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include <QDebug>
#include <QFontInfo>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <optional>

#include "app/forms/qt_text.h"
#include "engine/choice_check.h"
#include "engine/countdown.h"
#include "engine/schedule.h"
#include "engine/texts.h"
#include "harness.h"
#include "main_window/site.h"

using namespace zeravan;
using forms::q;

namespace {

const QList<qreal> scales{1.0, 1.5, 2.0};

// Every text the program shows, by the form and the control that show it.
QList<std::pair<const char*, QStringList>> textsByControl() {
    const auto texts = [](std::initializer_list<std::string_view> list) {
        QStringList result;
        for (std::string_view text : list) result << q(text);
        return result;
    };
    QStringList status = texts({engine::initialStatus,       engine::runningStatus,
                                engine::stoppedStatus,       engine::missedStatus,
                                engine::missedStatusToday,   engine::skippedStatus,
                                engine::challengeStatus,     engine::notAllowedStatus,
                                engine::unreachableText,     engine::powerOffRefusedText,
                                engine::rebootRefusedText,   engine::logOffRefusedText,
                                engine::powerOffTakenStatus, engine::rebootTakenStatus,
                                engine::logOffTakenStatus,   engine::lostText,
                                engine::cancelledStatus,     engine::cancelledStatusToday,
                                engine::overdueStatus,       engine::overdueStatusToday});
    for (const auto& [day, hour, minute] :
         {std::tuple{"后天", "23", "30"}, {"今天", "24", "30"}, {"今天", "23", "60"}}) {
        status << q(engine::checkChoices(day, hour, minute).problem);
    }
    QStringList countdown =
        texts({"离关机时间还有", engine::missedCountdownText, engine::missedCountdownTextToday,
               engine::powerOffRefusedText, engine::rebootRefusedText, engine::logOffRefusedText,
               engine::unreachableText, engine::requestingCountdownText, engine::lostText,
               engine::cancelledCountdownText, engine::overdueCountdownText,
               engine::overdueCountdownTextToday});
    for (std::string_view taken :
         {engine::powerOffTakenStatus, engine::rebootTakenStatus, engine::logOffTakenStatus}) {
        countdown << q(taken) + q(engine::takenCountdownAdvice);
    }
    return {
        {"form1.Label6", status},
        {"form1.Label5", {QStringLiteral("目 前 状 态：")}},
        {"form1.Label14", {QStringLiteral("请您先设定时间点 确认 开始 ！")}},
        {"form1.Label1", {QStringLiteral("分关闭电脑")}},
        {"form1.Label2", {QStringLiteral("时")}},
        {"form1.Label3", {QStringLiteral("现在：")}},
        {"form1.Label4", {QStringLiteral("2026/12/31 23:59:59")}},
        {"form1.Label7", {QStringLiteral("星期三")}},
        {"form1.Label8", {QStringLiteral("关机时间：")}},
        {"form1.Label9", texts({engine::todayItem, engine::tomorrowItem})},
        {"form1.Label10", {QStringLiteral("23")}},
        {"form1.Label11", {QStringLiteral("59")}},
        {"form1.Label12", {QStringLiteral("点")}},
        {"form1.Label13", {QStringLiteral("分")}},
        {"form1.Label15", {site::makerCaption}},
        {"form1.Label16", {QStringLiteral("访问  官网")}},
        {"form1.Command4",
         texts({engine::initialConfirmCaption, engine::confirmCaption, engine::armedCaption})},
        {"Form2.Label1", countdown},
        {"Form2.Label2", {QString::number(engine::countdownStart), QStringLiteral("0")}},
        {"Form2.Label3", {QStringLiteral("秒")}},
        {"Form2.Command1", {QStringLiteral("取 消 关 机"), QStringLiteral("关 闭")}},
    };
}

// Where a control lays its text out, how, and the part of that the user can see, in the
// control's own coordinates: a label as wide as its caption is clipped by its parent.
struct Layout {
    QRect box;
    int flags = 0;
    QRect visible;
};

Layout layoutOf(QWidget& control) {
    if (auto* button = qobject_cast<QPushButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect contents =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return {contents, Qt::AlignCenter | Qt::TextShowMnemonic, contents};
    }
    auto& label = dynamic_cast<forms::Label&>(control);
    const QRect box = label.rect();
    const QRect parent = label.parentWidget()->rect().translated(-label.pos());
    return {box, static_cast<int>(label.alignment()) | (label.wordWrap() ? Qt::TextWordWrap : 0),
            box & parent};
}

// The ink of `text` laid out in the box as the control lays it out, drawn in `font` at `scale`
// as the screen is: in device pixels, in the control's own coordinates. Pixels at least half
// covered count; the fainter fringe of smoothing is not what a reader sees of a stroke.
QRect inkOf(const QString& text, const QFont& font, const Layout& layout, qreal scale) {
    const int margin = 100;  // room for ink beyond the box
    QImage image((layout.box.size() + QSize(2 * margin, 2 * margin)) * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(QPointF(margin, margin), QSizeF(layout.box.size())), layout.flags,
                         text);
    }
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(line[x]) < 128) ink |= QRect(x, y, 1, 1);
        }
    }
    return ink.translated(
        (QPointF(layout.box.topLeft() - QPoint(margin, margin)) * scale).toPoint());
}

bool isSongFace(const QFont& font) {
    return font.families().contains(QFontInfo(font).family());
}

}  // namespace

// Every text the program can show, in its own control, drawn with the designed Song face (Debian's
// fonts-arphic-uming stands in for 宋体) at 100 %, 150 % and 200 %: all its ink can be seen.
class TextsFitTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyTextFits_data();
    void everyTextFits();

private:
    QWidget& control(const QString& name);

    std::optional<test::Harness> h_;
};

void TextsFitTest::initTestCase() {
    h_.emplace();
    h_->globals.Form2.Show();
}

QWidget& TextsFitTest::control(const QString& name) {
    QWidget& form = name.startsWith(QLatin1String("form1.")) ? static_cast<QWidget&>(h_->form1())
                                                             : *h_->globals.Form2;
    auto* found = form.findChild<QWidget*>(name.section(u'.', 1));
    if (found == nullptr) qFatal("no control %s", qPrintable(name));
    return *found;
}

void TextsFitTest::everyTextFits_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("scale");
    for (const auto& [control, texts] : textsByControl()) {
        for (const QString& text : texts) {
            for (qreal scale : scales) {
                QTest::addRow("%s %s at %d %%", control, qPrintable(text), qRound(scale * 100))
                    << control << text << scale;
            }
        }
    }
}

void TextsFitTest::everyTextFits() {
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(qreal, scale);
    QWidget& widget = this->control(control);
    if (auto* label = qobject_cast<forms::Label*>(&widget)) {
        label->setCaption(text);
    } else {
        qobject_cast<QPushButton*>(&widget)->setText(text);
    }
    QVERIFY2(isSongFace(widget.font()), qPrintable(QFontInfo(widget.font()).family()));

    const Layout layout = layoutOf(widget);
    const QRect ink = inkOf(text, widget.font(), layout, scale);
    const QRectF visible(QPointF(layout.visible.topLeft()) * scale,
                         QSizeF(layout.visible.size()) * scale);
    QString where;
    QDebug(&where) << "ink" << ink << "outside" << visible << "in device pixels";
    QVERIFY2(visible.contains(QRectF(ink)), qPrintable(where));
}

QTEST_MAIN(TextsFitTest)
#include "test_texts_fit.moc"
