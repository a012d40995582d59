#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Login by user code and password. On a database without users it asks, once,
// for the first user's code, name and password instead, and grants that user
// every menu item. Accepted: gUserID and gToday are set.
class frmLogin : public QDialog {
    Q_OBJECT
public:
    explicit frmLogin(QWidget* parent = nullptr);

    bool isFirstUser() const { return m_firstUser; }

    QLineEdit* txtUserID;
    QLineEdit* txtUserName; // first user only
    QLineEdit* txtPassword;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

public slots:
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool createFirstUser(const QString& userId);
    bool m_firstUser = false;
};
