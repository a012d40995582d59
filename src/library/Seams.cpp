#include "library/Seams.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QSettings>
#include <QTimer>

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

bool& printerSwitch() {
    static bool value = true;
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
    return QDir(programFolder()).filePath(QStringLiteral("Vadel.db"));
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

} // namespace Seams
