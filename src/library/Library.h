#pragma once

// The shared routines and globals that every window uses.

#include "library/Money.h"
#include "library/Recordset.h"

#include <QDate>
#include <QString>
#include <QVariantList>
#include <cstdint>
#include <memory>

class QWidget;
class Report;

namespace Library {

// Working date yyyymmdd, set at login from the clock.
extern QString gToday;
// User code of the logged-in user.
extern QString gUserID;
// School name from the settings row; every report's "lblComp".
extern QString gShopName;
// Photo folder; may or may not end with a separator.
extern QString gImagePath;

// Runs a select on the one connection. Values are bound to the "?" placeholders.
// A failing statement shows an error box and gives an empty record set.
Recordset OpenRecordset(const QString& sql, bool readOnly, const QVariantList& params = {});
// Runs an insert, update or delete. A failure shows an error box and returns false.
bool ExecSQL(const QString& sql, const QVariantList& params = {});
// The one quoting helper for text spliced into SQL or report-formula text:
// 'value' with every single quote doubled.
QString Quote(const QString& text);

// Enter and Down move to the next control in tab order, Up to the previous one.
// Returns true when the key moved the focus.
bool KeyMoveFocus(QWidget* from, int qtKey);
// Selects a line edit's whole text when it is enabled and visible.
void SelectAllText(QWidget* control);
// Digits, Enter, Up, Down, Delete, Backspace, "." and "," pass; anything else is 0.
int NumericKeyFilter(int keyAscii);
// Installs NumericKeyFilter on a line edit's typed characters.
void InstallNumericFilter(QWidget* lineEdit);

QDate KeyToDate(const QString& key);
QString KeyToShortThaiDate(const QString& key);
QString KeyToThaiDate(const QString& key);
QString DateToKey(const QDate& date);
QString DateToThaiDate(const QDate& date);
// Last two digits of the Buddhist-era year of a date.
QString BuddhistYY(const QDate& date);

QString FormatNum(const QString& text, bool withComma, int decimals);
// Parses a number text (thousands separators allowed) into an integer scaled by
// 10^decimals, rounding half away from zero. False when the text is not a number.
bool ParseDecimal(const QString& text, int decimals, std::int64_t& scaled);
// Formats an integer scaled by 10^decimals with FormatNum's masks.
QString FormatScaled(std::int64_t scaled, int decimals, bool withComma);
// The numeric value of a typed text (separators stripped); 0 when not a number.
double NumValue(const QString& text);

QString BahtText(double amount);
QString BahtText(Money amount);

void MsgError(const QString& text);
// 6 for Yes, 7 for No.
int MsgAsk(const QString& text, bool defaultYes);
constexpr int vbYes = 6;
constexpr int vbNo = 7;

void CenterForm(QWidget* form);
QString GetItemKey(const QString& text);
// A keyed list item: the text, blanks, "@" and the code.
QString KeyedItem(const QString& text, int blanks, const QString& code);

// Opens a report file of the Report folder beside the program. A missing file
// shows an error box and gives null.
std::unique_ptr<Report> OpenReport(const QString& fileName, bool setLogon);
// Feeds the report the rows of sql (when not blank) and shows it in a new viewer.
// Returns false (after an error box) when the report could not be shown.
bool ShowReport(Report& report, const QString& title, const QString& sql, int modal,
                const QVariantList& params = {});
// Opens the report file, sets "lblComp" to the school's name and "lblTitle" to the
// title, and shows the rows of sql in a new viewer captioned with the title. A report
// that cannot run shows an error box naming it and the cause; returns false then.
bool ShowTitledReport(const QString& fileName, const QString& title, const QString& sql,
                      const QVariantList& params = {});

} // namespace Library
