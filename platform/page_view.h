#pragma once

#include <QUrl>
#include <QWidget>

namespace zeravan::platform {

// The web panel: shows one page. Navigate returns at once; a page that cannot be had leaves
// the panel empty. The page's viewport is the panel less its contents margins.
class PageView : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual void Navigate(const QUrl& address) = 0;
};

}  // namespace zeravan::platform
