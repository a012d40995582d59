#pragma once

#include "frame/DialogBase.h"

class QLineEdit;

// Login by user code and password. On a database without users it asks, once,
// for the first user's code, name and password instead, and grants that user
// every menu item. Confirmed (IsOK): gUserID and gToday are set.
class frmLogin : public DialogBase {
    Q_OBJECT
public:
    explicit frmLogin(QWidget* parent = nullptr);

    bool isFirstUser() const { return m_firstUser; }

    QLineEdit* txtUserID;
    QLineEdit* txtUserName; // first user only
    QLineEdit* txtPassword;

private:
    void logIn();
    bool createFirstUser(const QString& userId);
    bool m_firstUser = false;
};
