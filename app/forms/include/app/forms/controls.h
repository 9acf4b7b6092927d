// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The form run-time's controls over Qt's widgets: labels, pictures, text boxes and buttons.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>

namespace zeravan::forms {

// A label that draws only its text over what lies behind it. An auto-size label takes the size
// of its caption on one line whenever the caption changes, and stays inside its container: where
// the caption would run past the container's edge, it moves left from its designed place until it
// ends there. Any other label keeps its box and wraps at blanks.
class Label : public QLabel {
    Q_OBJECT
public:
    Label(QWidget* parent, const QString& objectName, bool autoSize);

    QString Caption() const { return text(); }
    void setCaption(const QString& caption);
    void setForeColor(const QColor& color);
    // Screen readers hear the caption between these words ("目前状态：" 停 止), whatever it shows.
    void setSpokenAs(const QString& before, const QString& after = {});

signals:
    void Click();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void fitToCaption();
    void nameForScreenReaders();

    bool autoSize_;
    bool fitted_ = false;
    int designedLeft_ = 0;
    QString spokenBefore_;
    QString spokenAfter_;
};

// A label as designed: its font (where it has one of its own), its box, then its caption, so that
// an auto-size label fits the caption in its own font.
Label* makeLabel(QWidget* parent, const QString& objectName, bool autoSize, const QRect& box,
                 const QString& caption = {}, const std::optional<QFont>& font = {});

// A stretched picture: the image scaled to the box in both directions independently.
class Picture : public QLabel {
    Q_OBJECT
public:
    Picture(QWidget* parent, const QString& objectName, const QPixmap& pixmap);
};

// A text box that only holds state: it has a Text and is never seen.
struct TextBox {
    QString Text;
};

// A button that only carries an action: it has a Caption and a Click, and is never seen, so the
// keyboard can never reach it.
struct CommandButton {
    QString Caption;
    std::function<void()> Click;

    // Setting Value to true runs Click before it returns.
    void setValue(bool value) const {
        if (value && Click) Click();
    }
};

// Pressing a visible button from code runs its Click at once.
inline void press(QAbstractButton& button) {
    button.click();
}

// The window's typeface: "宋体", or a Song-style face where it is missing.
QFont songFont(int pixelSize, bool bold = false);

// An editable drop-down combo box whose list is shown in the order given.
QComboBox* makeCombo(QWidget* parent, const QString& objectName, const QStringList& items,
                     const QString& text);

}  // namespace zeravan::forms
