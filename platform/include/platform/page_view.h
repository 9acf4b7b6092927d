// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The port of the web band: the panel that shows one page.
#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

namespace zeravan::platform {

// The web panel: shows one page. Navigate returns at once. Until the page is there, and for good
// when it cannot be had, the panel shows its own page, so the band is never a blank stripe. The
// page's viewport is the panel less its contents margins.
class PageView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void Navigate(const QUrl& address) = 0;

    // The panel's own page: a little HTML of the program's, shown without any fetching.
    void setOwnPage(const QString& html) { ownPage_ = html; }
    const QString& ownPage() const { return ownPage_; }

private:
    QString ownPage_;
};

}  // namespace zeravan::platform
