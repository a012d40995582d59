#pragma once

// Test seams of message boxes and modal dialogs: each is set once at start-up
// and replaced by tests.

#include <QString>
#include <functional>

class QDialog;

namespace Seams {

enum class MessageKind { Error, Question };

// Shows a message box; for questions returns 6 (Yes) or 7 (No).
using MessageHandler = std::function<int(MessageKind kind, const QString& text, bool defaultYes)>;
void setMessageHandler(MessageHandler handler);
int showMessage(MessageKind kind, const QString& text, bool defaultYes);

// Shows a dialog modally and returns its result; tests drive the dialog instead.
using ModalHandler = std::function<int(QDialog& dialog)>;
void setModalHandler(ModalHandler handler);
int showModal(QDialog& dialog);

} // namespace Seams
