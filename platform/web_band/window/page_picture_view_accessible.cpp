// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
#include "page_picture_view_accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include "page_picture_view.h"

namespace zeravan::platform {

namespace {

// A link of the page. It asks the view for everything each time, so that what a reader is told
// is what the band shows now.
class PageLinkAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageLinkAccessible(PagePictureView* view, int index) : view_(view), index_(index) {}

    int index() const { return index_; }

    bool isValid() const override { return view_ && index_ < view_->links().size(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return view_->window()->windowHandle(); }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(view_);
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? link().name : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::Link; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.focusable = true;
        state.focused = view_->focusedLink() == index_;
        state.linked = true;
        state.invisible = !view_->isVisible();
        return state;
    }
    QRect rect() const override {
        QRectF shown;
        for (const QRectF& area : link().areas) shown |= area;
        return shown.toAlignedRect().translated(view_->mapToGlobal(QPoint()));
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction(), setFocusAction()}; }
    QStringList keyBindingsForAction(const QString& action) const override {
        return action == pressAction() ? QStringList{QStringLiteral("Return")} : QStringList{};
    }
    void doAction(const QString& action) override {
        if (!isValid()) return;
        if (action == pressAction()) view_->openLink(index_);
        if (action == setFocusAction()) view_->focusLink(index_);
    }

private:
    const PagePictureView::Link& link() const { return view_->links()[index_]; }

    QPointer<PagePictureView> view_;
    int index_;
};

// The page: a document whose text is what the page says, with its links as children. The
// links' interfaces are made as readers ask for them and kept while the view lives.
class PagePictureViewAccessible final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit PagePictureViewAccessible(PagePictureView* view)
        : QAccessibleWidget(view, QAccessible::Document) {}
    ~PagePictureViewAccessible() override {
        for (QAccessible::Id id : std::as_const(links_)) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return int(view()->links().size()); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        if (index >= links_.size()) links_.resize(index + 1, 0);
        if (links_[index] == 0) {
            links_[index] =
                QAccessible::registerAccessibleInterface(new PageLinkAccessible(view(), index));
        }
        return QAccessible::accessibleInterface(links_[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* link = dynamic_cast<const PageLinkAccessible*>(child);
        return link != nullptr && link->parent() == this ? link->index() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        return child(view()->linkAt(view()->mapFromGlobal(QPointF(x, y))));
    }
    QAccessibleInterface* focusChild() const override {
        const int focused = view()->focusedLink();
        return focused >= 0 ? child(focused) : QAccessibleWidget::focusChild();
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TextInterface ? static_cast<QAccessibleTextInterface*>(this)
                                                  : QAccessibleWidget::interface_cast(type);
    }

    // The page's text, read only: no selection, the caret at its start.
    QString text(int startOffset, int endOffset) const override {
        const QString& text = view()->text();
        if (endOffset < 0 || endOffset > text.size()) endOffset = int(text.size());
        return startOffset < 0 || startOffset > endOffset
                   ? QString()
                   : text.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(view()->text().size()); }
    using QAccessibleWidget::text;
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    // Where each character was painted stays with the painter.
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    PagePictureView* view() const { return static_cast<PagePictureView*>(widget()); }

    mutable QList<QAccessible::Id> links_;  // 0 where none is made yet
};

QAccessibleInterface* accessibleFor(const QString&, QObject* object) {
    auto* view = qobject_cast<PagePictureView*>(object);
    return view != nullptr ? new PagePictureViewAccessible(view) : nullptr;
}

}  // namespace

void installPagePictureViewAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(&accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

}  // namespace zeravan::platform
