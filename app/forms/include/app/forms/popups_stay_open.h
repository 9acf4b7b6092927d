// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// Keeps open popup menus open while a window is shown beside them.
#pragma once

#include <QObject>

namespace zeravan::forms {

// While one lives, showing a window leaves the open popup menus open, as menus of the form
// run-time stay open when a window comes up beside them. Qt closes every open popup when a
// normal window is shown; from a submenu's aboutToShow that closes the parent menu in the middle
// of popping the submenu up, which then reads the submenu it has just lost.
class PopupsStayOpen final : public QObject {
public:
    PopupsStayOpen();
    ~PopupsStayOpen() override;
    PopupsStayOpen(const PopupsStayOpen&) = delete;
    PopupsStayOpen& operator=(const PopupsStayOpen&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace zeravan::forms
