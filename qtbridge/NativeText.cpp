#include "NativeText.h"

#include <QByteArray>
#include <QFile>

namespace drovana {
namespace {

#ifndef _WIN32
constexpr char16_t kEscapedByteBase = 0xDC00;

bool IsEscapedByte(const QString& text, qsizetype i) {
    const char16_t c = text[i].unicode();
    return c >= kEscapedByteBase + 0x80 && c <= kEscapedByteBase + 0xFF &&
           (i == 0 || !text[i - 1].isHighSurrogate());
}

// Length of the valid UTF-8 sequence at `p`, or 0 when its first byte
// starts none.
std::size_t Utf8SequenceLength(const unsigned char* p, std::size_t left) {
    const unsigned lead = p[0];
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned low = 0x80;   // range of the second byte; overlong forms and
    unsigned high = 0xBF;  // surrogates are not valid
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : low;
        high = lead == 0xED ? 0x9F : high;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : low;
        high = lead == 0xF4 ? 0x8F : high;
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (p[i] < 0x80 || p[i] > 0xBF) {
            return 0;
        }
    }
    return length;
}

#endif

// Decodes bytes as file names are decoded; bytes that are not valid become
// replacement characters.
QString Decode(std::string_view bytes) {
#ifdef _WIN32
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
#else
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
#endif
}

}  // namespace

#ifdef _WIN32
// Paths there are UTF-16 and native texts their UTF-8: every name is text.
QString FromNative(std::string_view bytes) {
    return Decode(bytes);
}

std::string ToNative(const QString& text) {
    return text.toStdString();
}
#else
QString FromNative(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    QString text;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = Utf8SequenceLength(p + i, bytes.size() - i);
        if (length != 0) {
            i += length;
            continue;
        }
        text += Decode(bytes.substr(start, i - start));
        text += QChar(static_cast<char16_t>(kEscapedByteBase + p[i]));
        start = ++i;
    }
    text += Decode(bytes.substr(start));
    return text;
}

std::string ToNative(const QString& text) {
    std::string native;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (IsEscapedByte(text, i)) {
            native += QFile::encodeName(text.mid(start, i - start)).toStdString();
            native += static_cast<char>(text[i].unicode() - kEscapedByteBase);
            start = i + 1;
        }
    }
    native += QFile::encodeName(text.mid(start)).toStdString();
    return native;
}
#endif

QString ReadableText(std::string_view bytes) {
    return Decode(bytes);
}

}  // namespace drovana
