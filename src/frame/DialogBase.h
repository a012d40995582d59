#pragma once

#include "frame/WindowFrame.h"

#include <QDialog>
#include <functional>

class QVBoxLayout;

// A modal dialog of the shared conventions: its controls at the top, the toolbar
// at the bottom with the title at its right. The caller shows it with
// showModal (the test seam) and then reads IsOK and the dialog's own results.
class DialogBase : public QDialog, public WindowFrame {
    Q_OBJECT
public:
    // True only when the user confirmed; false from the moment the dialog loads.
    bool IsOK = false;

    // Shows the dialog modally through Seams::showModal; returns its result.
    int showModal();

protected:
    DialogBase(const QString& caption, QWidget* parent);

    QVBoxLayout* body() const { return m_body; }
    // The keys "OK" (caption and tip given), running ok, and "Cancel", which
    // closes the dialog, with a gap between them; F2 presses "OK", Esc "Cancel".
    void addOkCancel(const QString& caption, const QString& tip, std::function<void()> ok);
    // IsOK = true and the dialog closes.
    void confirm();

    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QVBoxLayout* m_body;
    bool m_centred = false;
};
