#pragma once

#include "frame/DialogBase.h"

class DateBox;

// Removal of old bills: the user chooses the last day; after a question, every
// bill dated on or before it goes with its lines.
class frmDelStatement : public DialogBase {
    Q_OBJECT
public:
    explicit frmDelStatement(QWidget* parent = nullptr);

    DateBox* dtpDate;

private:
    void purge();
};
