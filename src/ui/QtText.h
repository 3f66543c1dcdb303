#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace rinvo {

/// Converts the core's UTF-8 text to Qt's.
inline QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

/// Converts Qt's text to the core's UTF-8.
inline std::string toUtf8(const QString& text)
{
    return text.toStdString();
}

} // namespace rinvo
