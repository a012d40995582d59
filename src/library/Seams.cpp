#include "library/Seams.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

namespace Seams {
namespace {

int defaultMessage(MessageKind kind, const QString& text, bool defaultYes) {
    QMessageBox box;
    box.setText(text);
    if (kind == MessageKind::Error) {
        box.setIcon(QMessageBox::Critical);
        box.setWindowTitle(QStringLiteral("ข้อผิดพลาด"));
        box.addButton(QStringLiteral("ตกลง"), QMessageBox::AcceptRole);
        box.exec();
        return 1;
    }
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("คำถาม"));
    QPushButton* yes = box.addButton(QStringLiteral("ใช่"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("ไม่ใช่"), QMessageBox::NoRole);
    box.setDefaultButton(defaultYes ? yes : no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? 6 : 7;
}

MessageHandler& messageHandler() {
    static MessageHandler handler = defaultMessage;
    return handler;
}

ModalHandler& modalHandler() {
    static ModalHandler handler = [](QDialog& dialog) { return dialog.exec(); };
    return handler;
}

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

void setMessageHandler(MessageHandler handler) {
    messageHandler() = handler ? std::move(handler) : defaultMessage;
}

int showMessage(MessageKind kind, const QString& text, bool defaultYes) {
    return messageHandler()(kind, text, defaultYes);
}

void setModalHandler(ModalHandler handler) {
    if (handler)
        modalHandler() = std::move(handler);
    else
        modalHandler() = [](QDialog& dialog) { return dialog.exec(); };
}

int showModal(QDialog& dialog) {
    return modalHandler()(dialog);
}

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
