// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "app/forms/controls.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <algorithm>

namespace zeravan::forms {

Label::Label(QWidget* parent, const QString& objectName, bool autoSize)
    : QLabel(parent), autoSize_(autoSize) {
    setObjectName(objectName);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(!autoSize);
    setMargin(0);
    setIndent(0);
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
    setTextFormat(Qt::PlainText);
}

void Label::setCaption(const QString& caption) {
    // The ticks set most captions to what they already show, ten times a second; measuring the
    // text again each time would be most of what an idle tick costs.
    if (fitted_ && caption == text()) return;
    setText(caption);
    fitToCaption();
    nameForScreenReaders();
    fitted_ = true;
}

void Label::setSpokenAs(const QString& before, const QString& after) {
    spokenBefore_ = before;
    spokenAfter_ = after;
    nameForScreenReaders();
}

void Label::nameForScreenReaders() {
    if (spokenBefore_.isEmpty() && spokenAfter_.isEmpty()) return;
    setAccessibleName(spokenBefore_ + text() + spokenAfter_);
}

void Label::setForeColor(const QColor& color) {
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, color);
    setPalette(colors);
}

void Label::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit Click();
    }
}

// As tall as the font, or as its glyphs where they reach lower: a bold face made from a regular
// one draws its strokes thicker, and the bottom of them would be cut off. Made so by Windows, it
// is also a pixel wider for each character, and the status line's twelve-character texts would
// lose the end of their last one at the schedule panel's edge.
void Label::fitToCaption() {
    if (!autoSize_) return;
    if (!fitted_) designedLeft_ = x();
    const QFontMetrics metrics(font());
    const int inkBottom = metrics.ascent() + metrics.boundingRect(text()).bottom() + 1;
    resize(metrics.horizontalAdvance(text()), std::max(metrics.height(), inkBottom));
    const int overrun = designedLeft_ + width() - parentWidget()->width();
    move(designedLeft_ - std::clamp(overrun, 0, designedLeft_), y());
}

Label* makeLabel(QWidget* parent, const QString& objectName, bool autoSize, const QRect& box,
                 const QString& caption, const std::optional<QFont>& font) {
    auto* label = new Label(parent, objectName, autoSize);
    if (font) label->setFont(*font);
    label->setGeometry(box);
    label->setCaption(caption);
    return label;
}

Picture::Picture(QWidget* parent, const QString& objectName, const QPixmap& pixmap)
    : QLabel(parent) {
    setObjectName(objectName);
    setPixmap(pixmap);
    setScaledContents(true);
}

QFont songFont(int pixelSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")});
    font.setPixelSize(pixelSize);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

QComboBox* makeCombo(QWidget* parent, const QString& objectName, const QStringList& items,
                     const QString& text) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(objectName);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);  // typed text stays exactly as typed
    combo->addItems(items);
    combo->setEditText(text);
    return combo;
}

}  // namespace zeravan::forms
