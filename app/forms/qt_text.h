#pragma once

#include <QString>
#include <string>

namespace zeravan::forms {

// The engine works in UTF-8; the controls hold QStrings.
inline QString q(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string u8(const QString& text) {
    return text.toStdString();
}

}  // namespace zeravan::forms
