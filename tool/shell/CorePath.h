// A path as the core's file functions take it: the system's file name bytes on Linux (UTF-8 in
// any usual locale), UTF-8 on Windows, where the core opens files by their UTF-8 name.
#pragma once

#include <QFile>
#include <QString>

#include <string>

inline std::string CorePath(const QString& path) {
#ifdef Q_OS_WIN
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

inline QString PathFromCore(const std::string& path) {
#ifdef Q_OS_WIN
    return QString::fromStdString(path);
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}
