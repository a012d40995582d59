#include "core/Seams.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>
#include <algorithm>
#include <iterator>
#include <sys/vfs.h>

namespace Seams {
namespace {

QDateTime& fixedNow() {
    static QDateTime value;
    return value;
}

QString& programFolderOverride() {
    static QString value;
    return value;
}

QString& databasePathOverride() {
    static QString value;
    return value;
}

QString& pdfFolderOverride() {
    static QString value;
    return value;
}

// Filesystem types of statfs(2) whose files live on another host.
bool onNetwork(const QString& path) {
    constexpr unsigned long network[] = {
        0x6969,     // NFS
        0x517B,     // SMB
        0xFF534D42, // CIFS
        0xFE534D42, // SMB2
    };
    struct statfs info {};
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (statfs(folder.constData(), &info) != 0)
        return false;
    const auto type = static_cast<unsigned long>(info.f_type);
    return std::find(std::begin(network), std::end(network), type) != std::end(network);
}

NetworkCheck& networkCheck() {
    static NetworkCheck check = onNetwork;
    return check;
}

bool& printerSwitch() {
    static bool value = true;
    return value;
}

PrintListener& listener() {
    static PrintListener value;
    return value;
}

bool& sleepEnabled() {
    static bool value = true;
    return value;
}

} // namespace

QDateTime now() {
    return fixedNow().isValid() ? fixedNow() : QDateTime::currentDateTime();
}

QDate today() {
    return now().date();
}

void setNow(const QDateTime& fixed) {
    fixedNow() = fixed;
}

QString programFolder() {
    if (!programFolderOverride().isEmpty())
        return programFolderOverride();
    const QString fromEnv = qEnvironmentVariable("VADEL_PROGRAM_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QCoreApplication::applicationDirPath();
}

void setProgramFolder(const QString& folder) {
    programFolderOverride() = folder;
}

QString databasePath() {
    if (!databasePathOverride().isEmpty())
        return databasePathOverride();
    return defaultDatabasePath();
}

QString defaultDatabasePath() {
    return QDir(programFolder()).filePath(QStringLiteral("Vadel.db"));
}

void setNetworkCheck(NetworkCheck check) {
    networkCheck() = check ? std::move(check) : onNetwork;
}

bool isOnNetworkFileSystem(const QString& path) {
    return networkCheck()(path);
}

void setDatabasePath(const QString& path) {
    databasePathOverride() = path;
}

void sleep(int milliseconds) {
    if (!sleepEnabled() || milliseconds <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

void setSleepEnabled(bool enabled) {
    sleepEnabled() = enabled;
}

QString pdfFolder() {
    if (!pdfFolderOverride().isEmpty())
        return pdfFolderOverride();
    const QString fromEnv = qEnvironmentVariable("VADEL_PDF_DIR");
    if (!fromEnv.isEmpty())
        return fromEnv;
    return QSettings().value(QStringLiteral("PdfFolder")).toString();
}

void setPdfFolder(const QString& folder) {
    pdfFolderOverride() = folder;
}

bool printerEnabled() {
    return printerSwitch();
}

void setPrinterEnabled(bool enabled) {
    printerSwitch() = enabled;
}

void setPrintListener(PrintListener printed) {
    listener() = std::move(printed);
}

const PrintListener& printListener() {
    return listener();
}

} // namespace Seams
