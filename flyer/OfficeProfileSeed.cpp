#include "flyer/OfficeProfileSeed.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace lumarel {

namespace {

QString programFolder(const QString& program)
{
    return QFileInfo(QFileInfo(program).canonicalFilePath()).absolutePath();
}

bool writeFile(const QString& path, const QByteArray& contents)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(contents) == contents.size() && file.flush();
}

} // namespace

QString officeSetupVersion(const QString& program)
{
    QFile registry(programFolder(program) + QStringLiteral("/../share/registry/main.xcd"));
    if (!registry.open(QIODevice::ReadOnly))
        return QString();
    static const QRegularExpression version(
        QStringLiteral(R"(<prop oor:name="ooSetupVersion">\s*<value>([0-9]+\.[0-9]+)</value>)"));
    return version.match(QString::fromUtf8(registry.readAll())).captured(1);
}

QString officeBuildId(const QString& program)
{
    QFile versions(programFolder(program) + QStringLiteral("/versionrc"));
    if (!versions.open(QIODevice::ReadOnly))
        return QString();
    for (const QByteArray& line : versions.readAll().split('\n'))
        if (line.startsWith("buildid="))
            return QString::fromUtf8(line.mid(8).trimmed());
    return QString();
}

void seedNewProfile(const QString& program, const QStringList& arguments)
{
    static const QString option = QStringLiteral("-env:UserInstallation=");
    QString profile;
    for (const QString& argument : arguments)
        if (argument.startsWith(option))
            profile = QUrl(argument.mid(option.size())).toLocalFile();
    if (profile.isEmpty() || QFileInfo::exists(profile + QStringLiteral("/user")))
        return;
    const QString version = officeSetupVersion(program);
    const QString buildId = officeBuildId(program);
    if (version.isEmpty() || buildId.isEmpty())
        return;
    // Only a whole seed: one file alone would leave the office half-prepared.
    const QString user = profile + QStringLiteral("/user");
    const bool seeded =
        writeFile(user + QStringLiteral("/extensions/buildid"), buildId.toUtf8()) &&
        writeFile(user + QStringLiteral("/registrymodifications.xcu"),
                  QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                                 "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                                 "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
                                 "<item oor:path=\"/org.openoffice.Setup/Product\"><prop "
                                 "oor:name=\"ooSetupLastVersion\" oor:op=\"fuse\"><value>%1"
                                 "</value></prop></item>\n"
                                 "</oor:items>\n")
                      .arg(version.toHtmlEscaped())
                      .toUtf8());
    if (!seeded)
        QDir(user).removeRecursively();
}

} // namespace lumarel
