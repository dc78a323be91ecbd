#pragma once

#include <QString>
#include <string>
#include <string_view>

// File names and folder texts cross between Qt's texts and the file system as
// bytes. Bytes that are not part of valid UTF-8 travel in a QString as the
// lone low surrogates U+DC80 to U+DCFF, which no decoded text contains, so
// that a name turns back into the bytes it came as.
namespace drovana {

QString FromNative(std::string_view bytes);
std::string ToNative(const QString& text);

// The text to show for a name: bytes that are not valid UTF-8 show as
// replacement characters. It does not turn back into the name.
QString ReadableText(std::string_view bytes);

}  // namespace drovana
