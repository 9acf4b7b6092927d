// SPDX-FileCopyrightText: 2026 The Zeravan developers
// SPDX-License-Identifier: MIT
// The web panel's page and the two link captions.
#include "main_window/main_window_form.h"
#include "main_window/site.h"

namespace zeravan {

void MainWindowForm::Form_Load() {
    WebBrowser1->Navigate(site::panelPage);
}

void MainWindowForm::Label15_Click() {
    services_.links.open(site::homePage);
}

void MainWindowForm::Label16_Click() {
    services_.links.open(site::siteFolder);
}

}  // namespace zeravan
