#include "shell/frmLogin.h"

#include "core/Seams.h"
#include "frame/Library.h"
#include "shell/UserStore.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

frmLogin::frmLogin(QWidget* parent) : DialogBase(QString(), parent) {
    runDatabaseWork(QStringLiteral("อ่านรายชื่อผู้ใช้ไม่ได้"), [this] { m_firstUser = !UserStore::any(); });
    setWindowTitle(m_firstUser ? QStringLiteral("สร้างผู้ใช้คนแรก") : QStringLiteral("เข้าสู่ระบบ"));
    if (m_firstUser) {
        auto* note = new QLabel(QStringLiteral("ยังไม่มีผู้ใช้ในฐานข้อมูลนี้ กรุณาตั้งผู้ใช้คนแรก\n"
                                               "ผู้ใช้นี้จะใช้ได้ทุกเมนู"),
                                this);
        body()->addWidget(note);
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
    body()->addLayout(form);

    addOkCancel(QStringLiteral("ตกลง"), QStringLiteral("[F2] - ตกลง"), [this] { logIn(); });
    // Enter in the code and name boxes moves on; in the password box it logs in.
    moveFocusFrom(txtUserID, Moves::EnterOnly);
    moveFocusFrom(txtUserName, Moves::EnterOnly);
    onKey(txtPassword, Qt::Key_Return, [this] { pressButton(QStringLiteral("OK")); });
    setMinimumWidth(360);
}

bool frmLogin::createFirstUser(const QString& userId) {
    const QString name = txtUserName->text().trimmed();
    if (userId.isEmpty() || name.isEmpty() || txtPassword->text().isEmpty()) {
        Library::MsgError(QStringLiteral("กรุณาใส่รหัสผู้ใช้ ชื่อผู้ใช้ และรหัสผ่าน"));
        (userId.isEmpty() ? txtUserID : name.isEmpty() ? txtUserName : txtPassword)->setFocus();
        return false;
    }
    return runDatabaseWork(QStringLiteral("สร้างผู้ใช้ไม่ได้"), [&] {
        UserStore::createWithAllRights(userId, name, txtPassword->text());
    });
}

void frmLogin::logIn() {
    QString userId = txtUserID->text().trimmed();
    if (m_firstUser) {
        if (!createFirstUser(userId))
            return;
    } else {
        const QString typed = userId;
        if (!runDatabaseWork(QStringLiteral("ตรวจสอบผู้ใช้ไม่ได้"),
                             [&] { userId = UserStore::check(typed, txtPassword->text()); }))
            return;
        if (userId.isEmpty()) {
            Library::MsgError(QStringLiteral("รหัสผู้ใช้หรือรหัสผ่านไม่ถูกต้อง"));
            txtPassword->clear();
            txtUserID->setFocus();
            Library::SelectAllText(txtUserID);
            return;
        }
    }
    Library::gUserID = userId;
    Library::gToday = Library::DateToKey(Seams::today());
    confirm();
}
