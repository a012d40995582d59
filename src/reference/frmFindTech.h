#pragma once

#include "reference/SearchDialog.h"

// The modal teacher search dialog: lists the teachers in service whose name
// holds the typed text; the caller reads IsSelected and SelectedID.
class frmFindTech : public SearchDialog {
    Q_OBJECT
public:
    explicit frmFindTech(QWidget* parent = nullptr);

    // Shows a dialog modally; the confirmed TechID, or an empty text when cancelled.
    static QString choose(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void find() override;
};
