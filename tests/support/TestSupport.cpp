#include "support/TestSupport.h"

#include "core/Database.h"
#include "core/Schema.h"
#include "core/Seams.h"
#include "frame/DialogSeams.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "report/viewer/frmViewReport.h"
#include "shell/MDIForm1.h"
#include "shell/MenuItems.h"
#include "shell/UserStore.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QWidget>

ScriptedMessages::ScriptedMessages() {
    Seams::setMessageHandler([this](Seams::MessageKind kind, const QString& text, bool) {
        all << text;
        if (kind == Seams::MessageKind::Error) {
            errors << text;
            return 1;
        }
        questions << text;
        return m_answers.isEmpty() ? Library::vbNo : m_answers.takeFirst();
    });
}

ScriptedMessages::~ScriptedMessages() {
    Seams::setMessageHandler({});
}

void ScriptedMessages::answer(std::initializer_list<int> answers) {
    m_answers.append(QList<int>(answers));
}

void ScriptedMessages::clear() {
    errors.clear();
    questions.clear();
    all.clear();
}

ScriptedDialogs::ScriptedDialogs() {
    Seams::setModalHandler([this](QDialog& dialog) {
        ++shown;
        classNames << QString::fromLatin1(dialog.metaObject()->className());
        if (m_steps.isEmpty())
            return static_cast<int>(QDialog::Rejected);
        return m_steps.takeFirst()(dialog);
    });
}

ScriptedDialogs::~ScriptedDialogs() {
    Seams::setModalHandler({});
}

void ScriptedDialogs::then(std::function<int(QDialog&)> step) {
    m_steps << std::move(step);
}

QStringList listColumn(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

QStringList listTags(const QTreeWidget* list) {
    QStringList tags;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        tags << ListView::rowTag(list->topLevelItem(i));
    return tags;
}

QStringList listRows(const QTreeWidget* list, int columns) {
    if (columns < 0)
        columns = list->columnCount();
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < columns; ++c)
            cells << list->topLevelItem(i)->text(c);
        rows << cells.join(u'|');
    }
    return rows;
}

QList<frmViewReport*> reportViewers() {
    QList<frmViewReport*> found;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<frmViewReport*>(top))
            found << viewer;
    return found;
}

namespace {

// Controls whose own children are their parts, not further controls.
bool isCompound(const QWidget* widget) {
    return qobject_cast<const QAbstractScrollArea*>(widget) ||
           qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QToolButton*>(widget);
}

void collectControls(QWidget* parent, QWidget* window, QList<QWidget*>& controls) {
    bool hasVisibleChild = false;
    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow() || !child->isVisibleTo(window))
            continue;
        hasVisibleChild = true;
        if (isCompound(child))
            controls << child;
        else
            collectControls(child, window, controls);
    }
    if (!hasVisibleChild && parent != window)
        controls << parent;
}

QString describe(const QWidget* widget, const QRect& rect) {
    const QString name = widget->objectName().isEmpty()
                             ? QString::fromLatin1(widget->metaObject()->className())
                             : widget->objectName();
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        text = QStringLiteral(" \"") + label->text() + QStringLiteral("\"");
    return name + text +
           QStringLiteral(" (%1,%2 %3x%4)")
               .arg(rect.x())
               .arg(rect.y())
               .arg(rect.width())
               .arg(rect.height());
}

// Every toolbar shows all its buttons (none in an overflow menu), and every list
// every column whole: none narrower than its caption or values, none beyond the
// right edge.
void checkToolbarsAndLists(QWidget* window) {
    for (QToolBar* bar : window->findChildren<QToolBar*>()) {
        if (!bar->isVisibleTo(window))
            continue;
        for (QAction* action : bar->actions()) {
            const QWidget* button = bar->widgetForAction(action);
            QVERIFY2(!action->isVisible() || (button && button->isVisible()),
                     qPrintable(action->text() + QStringLiteral(" not shown in ") +
                                describe(bar, bar->geometry())));
        }
    }
    for (QTreeView* list : window->findChildren<QTreeView*>()) {
        if (!list->isVisibleTo(window))
            continue;
        QVERIFY2(
            !list->horizontalScrollBar()->isVisible(),
            qPrintable(describe(list, list->geometry()) + QStringLiteral(" scrolls sideways")));
        const QHeaderView* header = list->header();
        for (int column = 0; column < header->count(); ++column) {
            const int needed =
                std::max(static_cast<const QAbstractItemView*>(list)->sizeHintForColumn(column),
                         header->sectionSizeHint(column));
            QVERIFY2(
                header->isSectionHidden(column) || header->sectionSize(column) >= needed,
                qPrintable(describe(list, list->geometry()) +
                           QStringLiteral(" column %1 \"%2\" is %3 wide for %4")
                               .arg(column)
                               .arg(list->model()->headerData(column, Qt::Horizontal).toString())
                               .arg(header->sectionSize(column))
                               .arg(needed)));
        }
    }
}

QRect rectIn(const QWidget* widget, const QWidget* window) {
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// Every label shows its text whole (a label that cuts its text itself, shown
// whole in its tooltip, asks for no more room than it has), and a caption with
// a box of its own stands in front of that box, nothing between them.
void checkLabels(QWidget* window, const QList<QWidget*>& controls) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty())
            continue;
        const QRect rect = rectIn(label, window);
        const QSize needed = label->minimumSizeHint();
        QVERIFY2(label->wordWrap() ? label->height() >= label->heightForWidth(label->width())
                                   : label->width() >= needed.width(),
                 qPrintable(describe(label, rect) + QStringLiteral(" cuts its text (needs %1x%2)")
                                                        .arg(needed.width())
                                                        .arg(needed.height())));
        QWidget* box = label->buddy();
        if (!box || !box->isVisibleTo(window))
            continue;
        const QRect boxRect = rectIn(box, window);
        QVERIFY2(boxRect.left() >= rect.right() && boxRect.top() <= rect.bottom() &&
                     boxRect.bottom() >= rect.top(),
                 qPrintable(describe(label, rect) + QStringLiteral(" is not in front of ") +
                            describe(box, boxRect)));
        const QRect between(QPoint(rect.right() + 1, rect.top()),
                            QPoint(boxRect.left() - 1, rect.bottom()));
        for (QWidget* control : controls)
            QVERIFY2(control == label || control == box || !between.isValid() ||
                         !between.intersects(rectIn(control, window)),
                     qPrintable(describe(control, rectIn(control, window)) +
                                QStringLiteral(" stands between ") + describe(label, rect) +
                                QStringLiteral(" and its box")));
    }
}

} // namespace

void checkLayout(QWidget* window) {
    if (!window->testAttribute(Qt::WA_Resized))
        window->resize(window->sizeHint().expandedTo(window->minimumSizeHint()));
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    // As the clerk sees it: laid out after the last change.
    QCoreApplication::processEvents();
    QList<QWidget*> controls;
    collectControls(window, window, controls);
    QList<QRect> rects;
    for (QWidget* control : controls)
        rects << QRect(control->mapTo(window, QPoint(0, 0)), control->size());
    const QRect inside = window->rect();
    checkToolbarsAndLists(window);
    checkLabels(window, controls);
    for (int i = 0; i < controls.size(); ++i) {
        if (rects.at(i).isEmpty())
            continue;
        QVERIFY2(inside.contains(rects.at(i)),
                 qPrintable(describe(controls.at(i), rects.at(i)) + QStringLiteral(" outside ") +
                            describe(window, inside)));
        for (int j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!rects.at(i).intersects(rects.at(j)),
                     qPrintable(describe(controls.at(i), rects.at(i)) +
                                QStringLiteral(" overlaps ") +
                                describe(controls.at(j), rects.at(j))));
    }
}

void pressKey(int qtKey) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(qtKey));
}

std::unique_ptr<MDIForm1> adminMainWindow() {
    registerTaskWindows();
    UserStore::createWithAllRights(QStringLiteral("admin"), QStringLiteral("ผู้ดูแลระบบ"),
                                   QStringLiteral("admin"));
    Library::gUserID = QStringLiteral("admin");
    auto main = std::make_unique<MDIForm1>();
    main->setWindowState(Qt::WindowNoState);
    main->resize(1024, 720);
    main->applyRights();
    showActive(main.get());
    return main;
}

void showActive(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
}

TestDatabase::TestDatabase(const QDateTime& now) {
    Connection::shared().close();
    Seams::setDatabasePath(path());
    Seams::setPdfFolder(pdfFolder());
    QDir().mkpath(pdfFolder());
    Seams::setSleepEnabled(false);
    setNow(now);
    Library::gUserID = QStringLiteral("admin");
    Library::gShopName = QStringLiteral("โรงเรียนกวดวิชาทดสอบ");
    Connection::shared().open(NewSchool::Make);
}

TestDatabase::~TestDatabase() {
    Connection::shared().close();
    Seams::setNow({});
}

QString TestDatabase::path() const {
    return m_dir.filePath(QStringLiteral("Vadel.db"));
}

QString TestDatabase::pdfFolder() const {
    return m_dir.filePath(QStringLiteral("pdf"));
}

void TestDatabase::setNow(const QDateTime& now) {
    Seams::setNow(now);
    Library::gToday = Library::DateToKey(now.date());
}

void deleteWindows() {
    QList<QPointer<QWidget>> windows;
    for (QWidget* window : QApplication::topLevelWidgets())
        windows << window;
    for (const QPointer<QWidget>& window : windows)
        if (window && !window->parentWidget())
            delete window;
}

void makeSchoolOfVersion(const QString& path, int version) {
    Seams::setDatabasePath(path);
    Connection& db = Connection::shared();
    db.open(NewSchool::Make);
    Transaction transaction;
    QStringList drops;
    Query objects = db.exec(QStringLiteral(
        "SELECT 'DROP ' || type || ' [' || name || ']' FROM sqlite_master WHERE type IN "
        "('table', 'view') AND name NOT LIKE 'sqlite%' ORDER BY type DESC"));
    while (objects.next())
        drops << objects.value(0).toString();
    objects = Query();
    for (const QString& drop : std::as_const(drops))
        db.exec(drop);
    Schema::upgrade(db, 0, version);
    if (version == 1)
        db.exec(QStringLiteral("PRAGMA application_id = 0"));
    Schema::ensureSettingsRow(db);
    transaction.commit();
}

namespace Fixture {

void exec(const QString& sql, const QVariantList& params) {
    Connection::shared().exec(sql, params);
}

void school(const QString& name) {
    exec(QStringLiteral("UPDATE CtrlSetup SET ShopName = ?, ShopAddr = ?, ShopTel = ?"),
         {name, QStringLiteral("1 ถนนสุขุมวิท\r\nกรุงเทพฯ 10110"), QStringLiteral("02-123-4567")});
    Library::gShopName = name;
}

void level(const QString& level) {
    exec(QStringLiteral("INSERT OR IGNORE INTO CourseLevel (CourseLevel) VALUES (?)"), {level});
}

void subject(const QString& subject) {
    exec(QStringLiteral("INSERT OR IGNORE INTO Subject (Subject) VALUES (?)"), {subject});
}

void course(const QString& id, const QString& name, const QString& status, const QString& endDate) {
    exec(QStringLiteral("INSERT INTO Course (CourseID, CourseName, CourseStartDate, "
                        "CourseEndDate, CourseStatus) VALUES (?, ?, ?, ?, ?)"),
         {id, name, QStringLiteral("20260101"), endDate.isEmpty() ? QVariant() : endDate, status});
}

void teacher(const QString& id, const QString& name, Money rate, const QString& status) {
    exec(QStringLiteral("INSERT INTO Teacher (TechID, TechName, TechRateAmt, TechSts) "
                        "VALUES (?, ?, ?, ?)"),
         {id, name, rate.toVariant(), status});
}

void student(const QString& id, const QString& name, const QString& nick, const QString& address) {
    exec(QStringLiteral("INSERT INTO Student (StdID, StdName, StdNickName, StdAddr, StdLevel) "
                        "VALUES (?, ?, ?, ?, ?)"),
         {id, name, nick, address, QStringLiteral("ม.1")});
}

void classRow(const QString& courseNo, const QString& courseId, Money price, const QString& level,
              const QString& subject, const QString& dateStart, const QString& dateEnd) {
    exec(QStringLiteral("INSERT INTO CourseTable (CourseNo, CourseID, CourseLevel, Subject, "
                        "CourseDate, CourseTime, CoursePrice, DateStart, DateEnd, TimeHour, "
                        "RoomNo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {courseNo, courseId, level, subject, QStringLiteral("ส-อา"), QStringLiteral("09.00-12.00"),
          price.toVariant(), dateStart, dateEnd, 30, QStringLiteral("101")});
}

void registration(const QString& stdId, const QString& courseNo, Money paid,
                  const QString& regDate) {
    exec(QStringLiteral("INSERT INTO StudentCourse (StdID, CourseNo, CourseRegDate, "
                        "CoursePayAmt, CoursePayDate, CourseGrade) VALUES (?, ?, ?, ?, ?, '')"),
         {stdId, courseNo, regDate, paid.toVariant(), regDate});
}

int count(const QString& table, const QString& where, const QVariantList& params) {
    QString sql = QStringLiteral("SELECT COUNT(*) FROM [") + table + QStringLiteral("]");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    return Connection::shared().scalar(sql, params).toInt();
}

QVariant value(const QString& sql, const QVariantList& params) {
    return Connection::shared().scalar(sql, params);
}

} // namespace Fixture
