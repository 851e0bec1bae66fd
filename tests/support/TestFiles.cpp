#include "TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

#include <zip.h>

namespace lumarel::test {

QString archivePart(const QString& path, const char* part)
{
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    QByteArray bytes;
    zip_stat_t info;
    if (archive && zip_stat(archive, part, 0, &info) == 0)
        if (zip_file_t* file = zip_fopen(archive, part, 0)) {
            bytes.resize(qsizetype(info.size));
            bytes.resize(qMax<qsizetype>(0, zip_fread(file, bytes.data(), info.size)));
            zip_fclose(file);
        }
    if (archive)
        zip_discard(archive);
    return QString::fromUtf8(bytes);
}

QString writeArchive(const QString& path, const QList<QPair<QString, QByteArray>>& parts)
{
    QFile::remove(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE, nullptr);
    for (qsizetype i = 0; archive && i < parts.size(); ++i) {
        const QByteArray& bytes = parts[i].second; // read by zip_close()
        zip_source_t* source = zip_source_buffer(archive, bytes.constData(), bytes.size(), 0);
        const zip_int64_t at =
            zip_file_add(archive, parts[i].first.toUtf8().constData(), source, 0);
        zip_set_file_compression(archive, at, i == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 1);
    }
    if (!archive || zip_close(archive) != 0)
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray cursorFileBytes(quint16 hotX, quint16 hotY)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int i = 0; i < 32; ++i)
        image.setPixel(i, i, qRgba(0, 0, 0, 255));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image))
        qFatal("cannot write an icon: %s", qPrintable(writer.errorString()));
    QByteArray bytes = buffer.data();
    // ICONDIR type 2 marks a cursor; the first entry's planes and bit count hold the hot spot.
    qToLittleEndian<quint16>(2, bytes.data() + 2);
    qToLittleEndian<quint16>(hotX, bytes.data() + 10);
    qToLittleEndian<quint16>(hotY, bytes.data() + 12);
    return bytes;
}

} // namespace lumarel::test
