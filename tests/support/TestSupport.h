#pragma once

#include "core/Money.h"

#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class MDIForm1;

class QTreeWidget;
class frmViewReport;

// Records every message box and answers the questions from a script.
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    // Answers for the next questions, in order (6 Yes, 7 No); unscripted questions answer No.
    void answer(std::initializer_list<int> answers);
    QStringList errors;
    QStringList questions;
    // Errors and questions in the order shown.
    QStringList all;
    void clear();

private:
    QList<int> m_answers;
};

// Drives every modal dialog: each is handed to the next scripted function
// (which returns the dialog's result); unscripted dialogs are rejected.
class ScriptedDialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs();
    void then(std::function<int(QDialog&)> step);
    int shown = 0;
    QStringList classNames;

private:
    QList<std::function<int(QDialog&)>> m_steps;
};

// The texts of one column of a list, and the rows' tags, row by row.
QStringList listColumn(const QTreeWidget* list, int column);
QStringList listTags(const QTreeWidget* list);
// Each row of a list, its first `columns` cells (all by default) joined by "|".
QStringList listRows(const QTreeWidget* list, int columns = -1);
// The report viewers open as windows of their own.
QList<frmViewReport*> reportViewers();

// Shows the window at its opening size (its size hint unless it was sized) and
// checks its layout: no two visible controls overlap, every one lies inside the
// window, every toolbar button is shown, every list column shows its caption
// and values whole, every label its text, and a caption with a box of its own
// (its buddy) stands right in front of it. Fails the running test otherwise.
void checkLayout(QWidget* window);
// Shows the window and makes it the active one, so that keys reach it.
void showActive(QWidget* window);
// Presses a key in the control that has the focus.
void pressKey(int qtKey);
// The main window shown and active, restored to 1024x720 (the work area of the smallest
// desk the windows are made for, whatever the test's screen), with every task window
// registered and user "admin" logged in with every menu item granted.
std::unique_ptr<MDIForm1> adminMainWindow();

// A fresh database file in a temporary folder, opened on the one connection,
// with a fixed clock, the working date and a logged-in user; waits are off and
// printed pages go to a temporary PDF folder.
class TestDatabase {
public:
    explicit TestDatabase(const QDateTime& now = QDateTime(QDate(2026, 12, 6), QTime(9, 0)));
    ~TestDatabase();
    QString path() const;
    QString pdfFolder() const;
    void setNow(const QDateTime& now);

private:
    QTemporaryDir m_dir;
};

// Deletes every window left open (a window's own popups go with it).
void deleteWindows();

// A school as a program of `version` left it, with its settings row, left open at path; the
// first version marked its files with the version alone. A later step's test starts from the
// version before it.
void makeSchoolOfVersion(const QString& path, int version);

// Builders for rows the tests need; every value goes through bound statements.
namespace Fixture {
void school(const QString& name = QStringLiteral("โรงเรียนกวดวิชาทดสอบ"));
void level(const QString& level);
void subject(const QString& subject);
void course(const QString& id, const QString& name, const QString& status = QStringLiteral("1"),
            const QString& endDate = {});
void teacher(const QString& id, const QString& name, Money rate = Money::fromBaht(300),
             const QString& status = QStringLiteral("1"));
void student(const QString& id, const QString& name, const QString& nick = {},
             const QString& address = {});
void classRow(const QString& courseNo, const QString& courseId, Money price,
              const QString& level = QStringLiteral("ม.1"),
              const QString& subject = QStringLiteral("คณิตศาสตร์"),
              const QString& dateStart = QStringLiteral("20261201"),
              const QString& dateEnd = QStringLiteral("20261231"));
void registration(const QString& stdId, const QString& courseNo, Money paid = Money(),
                  const QString& regDate = QStringLiteral("20261206"));
void exec(const QString& sql, const QVariantList& params = {});
int count(const QString& table, const QString& where = {}, const QVariantList& params = {});
QVariant value(const QString& sql, const QVariantList& params = {});
} // namespace Fixture
