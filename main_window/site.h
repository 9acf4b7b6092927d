#pragma once

#include <QString>
#include <QUrl>

namespace zeravan::site {

// The maker's web addresses and name. A distributor with a site of its own sets them here.
inline const QUrl homePage{QStringLiteral("https://zeravan.example/")};
inline const QUrl siteFolder{QStringLiteral("https://zeravan.example/zeravan/")};
inline const QUrl panelPage{QStringLiteral("https://zeravan.example/zeravan/panel.html")};

inline const QString makerCaption = QStringLiteral("Orrimel  联系QQ：0000000");

}  // namespace zeravan::site
