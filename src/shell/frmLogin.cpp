#include "shell/frmLogin.h"

#include "library/Database.h"
#include "library/Library.h"
#include "library/Seams.h"
#include "shell/Users.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmLogin::frmLogin(QWidget* parent) : QDialog(parent) {
    try {
        m_firstUser = !Users::any();
    } catch (const DbError& error) {
        Library::MsgError(QStringLiteral("อ่านรายชื่อผู้ใช้ไม่ได้\n") + error.message());
    }
    setWindowTitle(m_firstUser ? QStringLiteral("สร้างผู้ใช้คนแรก") : QStringLiteral("เข้าสู่ระบบ"));
    auto* layout = new QVBoxLayout(this);
    if (m_firstUser) {
        auto* note = new QLabel(QStringLiteral("ยังไม่มีผู้ใช้ในฐานข้อมูลนี้ กรุณาตั้งผู้ใช้คนแรก\n"
                                               "ผู้ใช้นี้จะใช้ได้ทุกเมนู"),
                                this);
        layout->addWidget(note);
    }
    auto* form = new QFormLayout;
    txtUserID = new QLineEdit(this);
    txtUserID->setObjectName(QStringLiteral("txtUserID"));
    txtUserID->setMaxLength(10);
    form->addRow(QStringLiteral("รหัสผู้ใช้ :"), txtUserID);
    txtUserName = new QLineEdit(this);
    txtUserName->setObjectName(QStringLiteral("txtUserName"));
    txtUserName->setMaxLength(50);
    if (m_firstUser)
        form->addRow(QStringLiteral("ชื่อผู้ใช้ :"), txtUserName);
    else
        txtUserName->hide();
    txtPassword = new QLineEdit(this);
    txtPassword->setObjectName(QStringLiteral("txtPassword"));
    txtPassword->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("รหัสผ่าน :"), txtPassword);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("ตกลง"), QDialogButtonBox::AcceptRole);
    cmdCancel = buttons->addButton(QStringLiteral("ยกเลิก"), QDialogButtonBox::RejectRole);
    cmdOK->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &frmLogin::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &frmLogin::reject);
    layout->addWidget(buttons);

    txtUserID->installEventFilter(this);
    txtUserName->installEventFilter(this);
    setMinimumWidth(360);
}

bool frmLogin::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the code and name boxes moves on; in the password box it logs in.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
            Library::KeyMoveFocus(qobject_cast<QWidget*>(watched), Qt::Key_Return))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool frmLogin::createFirstUser(const QString& userId) {
    const QString name = txtUserName->text().trimmed();
    if (userId.isEmpty() || name.isEmpty() || txtPassword->text().isEmpty()) {
        Library::MsgError(QStringLiteral("กรุณาใส่รหัสผู้ใช้ ชื่อผู้ใช้ และรหัสผ่าน"));
        (userId.isEmpty() ? txtUserID : name.isEmpty() ? txtUserName : txtPassword)->setFocus();
        return false;
    }
    try {
        Users::createWithAllRights(userId, name, txtPassword->text());
    } catch (const DbError& error) {
        Library::MsgError(QStringLiteral("สร้างผู้ใช้ไม่ได้\n") + error.message());
        return false;
    }
    return true;
}

void frmLogin::accept() {
    const QString userId = txtUserID->text().trimmed();
    if (m_firstUser) {
        if (!createFirstUser(userId))
            return;
    } else {
        bool valid = false;
        try {
            valid = Users::check(userId, txtPassword->text());
        } catch (const DbError& error) {
            Library::MsgError(QStringLiteral("ตรวจสอบผู้ใช้ไม่ได้\n") + error.message());
            return;
        }
        if (!valid) {
            Library::MsgError(QStringLiteral("รหัสผู้ใช้หรือรหัสผ่านไม่ถูกต้อง"));
            txtPassword->clear();
            txtUserID->setFocus();
            Library::SelectAllText(txtUserID);
            return;
        }
    }
    Library::gUserID = userId;
    Library::gToday = Library::DateToKey(Seams::today());
    QDialog::accept();
}
