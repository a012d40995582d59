#pragma once

// Test seams that need no window: clock, folders, waits and printing. Each is
// set once at start-up and replaced by tests; DialogSeams.h has those of windows.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace Seams {

// The clock that record codes and the working date follow.
QDateTime now();
QDate today();
void setNow(const QDateTime& fixed); // an invalid value goes back to the system clock

// Folder of the program (Report/ and images/ live there); VADEL_PROGRAM_DIR overrides.
QString programFolder();
void setProgramFolder(const QString& folder);
// The database file; defaults to defaultDatabasePath().
QString databasePath();
void setDatabasePath(const QString& path);
// The database beside the program: Vadel.db in the program folder.
QString defaultDatabasePath();

// Whether a file lies on a network filesystem (NFS, SMB/CIFS), where SQLite's WAL
// journal does not work; tests decide it instead.
using NetworkCheck = std::function<bool(const QString& path)>;
void setNetworkCheck(NetworkCheck check); // an empty check goes back to the real one
bool isOnNetworkFileSystem(const QString& path);

// A wait that keeps the event loop running; tests turn waits off.
void sleep(int milliseconds);
void setSleepEnabled(bool enabled);

// Folder where printed pages go as PDF files instead of the printer
// (the setting "PdfFolder" or VADEL_PDF_DIR); empty when unset.
QString pdfFolder();
void setPdfFolder(const QString& folder);

// Whether printing may use the system's default printer; tests turn it off so
// that no page reaches a real printer.
bool printerEnabled();
void setPrinterEnabled(bool enabled);

// Told of every report printed: its file name and the lines of each page printed
// (a table row's cells joined by "|"). Tests read what the program printed with it.
using PrintListener = std::function<void(const QString& report, const QList<QStringList>& pages)>;
void setPrintListener(PrintListener listener);
const PrintListener& printListener();

} // namespace Seams
