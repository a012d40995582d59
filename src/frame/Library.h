#pragma once

// The shared routines that every window uses, on top of those that need no
// window (LibraryCore.h).

#include "core/LibraryCore.h"

#include <QString>
#include <QVariantList>
#include <optional>

class QComboBox;
class QLineEdit;
class QWidget;

namespace Library {

// Runs a select on the one connection. Values are bound to the "?" placeholders.
// A failing statement shows an error box and gives an empty record set.
Recordset OpenRecordset(const QString& sql, const QVariantList& params = {});

// Enter and Down move to the next control in tab order, Up to the previous one.
// Returns true when the key moved the focus.
bool KeyMoveFocus(QWidget* from, int qtKey);
// Selects a line edit's whole text when it is enabled and visible.
void SelectAllText(QWidget* control);
// Digits, Enter, Up, Down, Delete, Backspace, "." and "," pass; anything else is 0.
int NumericKeyFilter(int keyAscii);
// Installs NumericKeyFilter on a line edit's typed characters.
void InstallNumericFilter(QWidget* lineEdit);

// Whether the amount typed in a box can be stored as typed. When it cannot, an error box
// says so and the box gets the focus with its text selected: one with a separator out of
// place is refused as refuseNumber does, under the box's caption; one beyond Money's
// exact range with Money's range message.
bool amountFits(QLineEdit* box, const QString& caption);
// A plain number typed in a box (TypedNumber); when it cannot be stored as typed, the box
// gets the focus, is refused as refuseNumber does and nothing is returned.
std::optional<double> typedNumber(QLineEdit* box, const QString& caption);
// Says that the number typed in the box cannot be stored as typed ("<caption> ไม่ถูกต้อง"
// with the text and how numbers are written) and selects the box's text.
void refuseNumber(const QString& caption, QLineEdit* box);
// Shows a stored value in a box whole: the box's length limit, meant for typing, grows to
// hold it, so that what the box shows (and a save reads back) is the value stored.
void showWhole(QLineEdit* box, const QString& stored);

void MsgError(const QString& text);
// 6 for Yes, 7 for No.
int MsgAsk(const QString& text, bool defaultYes);
constexpr int vbYes = 6;
constexpr int vbNo = 7;

void CenterForm(QWidget* form);

// A keyed list item in a combo box: the box shows the text alone, and the item
// keeps the keyed form (the text, blanks, "@" and the code) for GetItemKey.
void AddKeyedItem(QComboBox* box, const QString& text, int blanks, const QString& code);
// The code of the keyed item the box shows; empty when it shows none.
QString GetItemKey(const QComboBox* box);

} // namespace Library
