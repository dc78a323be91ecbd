#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

// Folder texts and file names cross between the dialog's texts and the batch
// rules as the bytes the file system uses.
namespace drovana {

inline std::string ToNative(const QString& text) {
    return QFile::encodeName(text).toStdString();
}

// Bytes that are not valid in the file-name encoding show as replacement
// characters; keep the bytes themselves wherever the file must be found again.
inline QString FromNative(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

}  // namespace drovana
