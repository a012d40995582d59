#include "results/ClassForm.h"

#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "reference/frmListCourse.h"

#include <QFrame>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

ClassForm::ClassForm(QWidget* parent) : FormBase(parent) {
    const std::pair<QLabel**, QString> labels[] = {{&lblCourse, QStringLiteral("lblCourse")},
                                                   {&lblLevel, QStringLiteral("lblLevel")},
                                                   {&lblSubject, QStringLiteral("lblSubject")}};
    for (const auto& [label, name] : labels) {
        *label = new QLabel(this);
        (*label)->setObjectName(name);
    }
    m_header = new QVBoxLayout;
    body()->addLayout(m_header);

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    m_panel = new QVBoxLayout(Picture1);
    m_panel->setContentsMargins(0, 0, 0, 0);
    ListView1 = new QTreeWidget(Picture1);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    m_panel->addWidget(ListView1, 1);
    body()->addWidget(Picture1, 1);

    toolbar()->addButton(QStringLiteral("Course"), QStringLiteral("คอร์ส"),
                         QStringLiteral("เลือกคอร์ส"));
}

void ClassForm::declareStates(const QStringList& choosing, const QStringList& listing,
                              const QString& help, const QString& f2) {
    const QString course = QStringLiteral("Course");
    const QString cancel = QStringLiteral("Cancel");
    declareModes({{QStringList{course} + choosing + QStringList{cancel}, help, f2},
                  {listing + QStringList{cancel}, help, f2}});
    declareKeys({{Qt::Key_F9, course}, {Qt::Key_Escape, cancel}});
    declareButtons({{course, [this] { chooseClass(); }}, {cancel, [this] {
                                                              if (state() == Listed)
                                                                  backToChoosing();
                                                              else
                                                                  unload();
                                                          }}});
    setState(Choose);
}

void ClassForm::setState(State state) {
    setMode(state);
    Picture1->setEnabled(state == Listed);
}

std::optional<QString> ClassForm::pickClass() {
    frmListCourse picker(this);
    picker.showModal();
    if (!picker.IsOK)
        return std::nullopt;
    return picker.CourseNo;
}

Recordset ClassForm::readClass(const QString& courseNo) {
    return Library::OpenRecordset(QStringLiteral("Select * From QCourseTable Where CourseNo = ?"),
                                  {courseNo});
}

void ClassForm::showClass(const Recordset& course) {
    m_courseNo = course.text(QStringLiteral("CourseNo"));
    lblCourse->setText(course.text(QStringLiteral("CourseName")));
    lblLevel->setText(course.text(QStringLiteral("CourseLevel")));
    lblSubject->setText(course.text(QStringLiteral("Subject")));
}

void ClassForm::clearClass() {
    m_courseNo.clear();
    for (QLabel* label : {lblCourse, lblLevel, lblSubject})
        label->clear();
}
