#pragma once

// The shared routines that every window uses, on top of those that need no
// window (LibraryCore.h).

#include "core/LibraryCore.h"

#include <QString>
#include <QVariantList>

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

// Whether the amount typed in a box can be stored as typed; when it cannot (it lies
// beyond Money's exact range), an error box says so and the box gets the focus.
bool amountFits(QLineEdit* box);

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
