#include "results/ClassResultsForm.h"

#include "frame/ElidedLabel.h"
#include "frame/KeyToolbar.h"
#include "frame/Library.h"
#include "frame/ListView.h"
#include "report/viewer/LibraryReports.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int cellGap = 4;
} // namespace

ClassResultsForm::ClassResultsForm(const Texts& texts, QWidget* parent) : ClassForm(parent) {
    m_fields = new QGridLayout;
    const std::pair<const char16_t*, QLabel*> labels[] = {
        {u"คอร์ส :", lblCourse}, {u"ระดับ :", lblLevel}, {u"วิชา :", lblSubject}};
    int row = 0;
    for (const auto& [caption, label] : labels) {
        m_fields->addWidget(new QLabel(QString::fromUtf16(caption), this), row, 0, Qt::AlignRight);
        label->setMinimumWidth(4000 / ListView::twipsPerPixel);
        m_fields->addWidget(label, row++, 1);
    }
    classHeader()->addLayout(m_fields);

    m_editorRow = new QHBoxLayout;
    m_editorRow->setSpacing(cellGap);
    m_editorRow->setContentsMargins(ListView1->frameWidth(), 0, 0, 0);
    classPanel()->addLayout(m_editorRow);
    lblStdID = new QLabel(Picture1);
    lblStdID->setObjectName(QStringLiteral("lblStdID"));
    // A long name ends in "…" inside its cell rather than being cut.
    lblStdName = new ElidedLabel(Picture1);
    lblStdName->setObjectName(QStringLiteral("lblStdName"));

    connect(ListView1, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current) { rowChosen(current); });
    connect(ListView1, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* clicked) { rowChosen(clicked); });
    connect(ListView1->header(), &QHeaderView::sectionResized, this,
            &ClassResultsForm::alignEditorCells);

    toolbar()->addButton(texts.loadKey, texts.loadCaption, QStringLiteral("ลงบันทึกคะแนน"));
    toolbar()->addSeparator();
    toolbar()->addButton(QStringLiteral("Report"), QStringLiteral("รายงาน"), texts.reportTip);
    toolbar()->addSeparator();
    toolbar()->addStandardButton(QStringLiteral("Cancel"));
    setTitle(texts.title);
    declareStates({texts.loadKey}, {QStringLiteral("Report")}, texts.help, texts.loadKey);
    declareKeys({{Qt::Key_F5, QStringLiteral("Report")}});
}

void ClassResultsForm::setEditorCells(const QList<QWidget*>& cells) {
    m_editorCells = cells;
    for (QWidget* cell : cells)
        m_editorRow->addWidget(cell);
    m_editorRow->addStretch(1);
    // The columns size themselves to their captions and values; each is made wide
    // enough for its editor cell too, so that no caption or box under it is cut.
    QHeaderView* header = ListView1->header();
    const int captionHeight = header->sizeHint().height();
    int width = ListView::widthBesideColumns(ListView1);
    for (int i = 0; i < cells.size(); ++i) {
        const int needed =
            cells.at(i)->minimumSizeHint().expandedTo(cells.at(i)->minimumSize()).width() + cellGap;
        if (needed > header->sectionSizeHint(i))
            ListView1->headerItem()->setSizeHint(i, QSize(needed, captionHeight));
        width += std::max({needed, header->sectionSizeHint(i), ListView::givenWidth(ListView1, i)});
    }
    // The whole width of the columns shows without scrolling sideways.
    ListView1->setMinimumWidth(width);
    alignEditorCells();
}

void ClassResultsForm::alignEditorCells() {
    for (int i = 0; i < m_editorCells.size(); ++i)
        m_editorCells.at(i)->setFixedWidth(ListView1->header()->sectionSize(i) - cellGap);
}

bool ClassResultsForm::pickClassAndClearList(Recordset& found) {
    const std::optional<QString> chosen = pickClass();
    if (!chosen)
        return false;
    fillList({});
    found = readClass(*chosen);
    if (!found.isEmpty())
        showClass(found);
    return true;
}

void ClassResultsForm::fillList(const QList<QStringList>& rows) {
    ListView1->clear();
    rowChosen(nullptr);
    for (const QStringList& texts : rows)
        ListView::addRow(ListView1, texts, texts.value(0));
}

Recordset ClassResultsForm::readPupils(const QString& columns) const {
    return Library::OpenRecordset(QStringLiteral("Select ") + columns +
                                      QStringLiteral(" From QStudentCourse2 Where CourseNo = ? "
                                                     "Order By StdID"),
                                  {courseNo()});
}

bool ClassResultsForm::hasRows() const {
    return ListView::count(ListView1) > 0;
}

void ClassResultsForm::selectRow(QTreeWidgetItem* row) {
    if (row) {
        const QSignalBlocker quiet(ListView1);
        ListView::select(ListView1, ListView1->indexOfTopLevelItem(row) + 1);
    }
    rowChosen(row);
}

void ClassResultsForm::rowChosen(QTreeWidgetItem* row) {
    if (!row || !hasRows() || !firstEditorBox()->isEnabled()) {
        m_editRow = nullptr;
        m_editStdId.clear();
        lblStdID->clear();
        lblStdName->clear();
        loadEditor(nullptr);
        return;
    }
    m_editRow = row;
    m_editStdId = row->text(0);
    lblStdID->setText(row->text(0));
    lblStdName->setText(row->text(1));
    loadEditor(row);
    firstEditorBox()->setFocus();
    Library::SelectAllText(firstEditorBox());
}

bool ClassResultsForm::rowWritten(PointGradeStore::Outcome outcome, QLineEdit* box) {
    using PointGradeStore::Outcome;
    if (outcome == Outcome::Stored)
        return true;
    if (outcome == Outcome::Refused) {
        Library::refuseNumber(QStringLiteral("คะแนน"), box);
        return false;
    }
    Library::MsgError(QStringLiteral("ไม่พบการลงทะเบียนของนักศึกษา ") + m_editStdId +
                      QStringLiteral(" ในคอร์สนี้ อาจถูกลบไปแล้ว ไม่ได้บันทึก"));
    const int index = ListView1->indexOfTopLevelItem(m_editRow) + 1;
    delete m_editRow;
    m_editRow = nullptr;
    selectRow(ListView::item(ListView1, qMin(index, ListView::count(ListView1))));
    return false;
}

QTreeWidgetItem* ClassResultsForm::neighbourRow(int step) const {
    if (!m_editRow)
        return nullptr;
    return ListView::item(ListView1, ListView1->indexOfTopLevelItem(m_editRow) + 1 + step);
}

void ClassResultsForm::showClassReport(const QString& file, const QString& title,
                                       const QString& sql,
                                       const QList<QPair<QString, QString>>& formulas) {
    if (!hasRows())
        return;
    Library::showReportFile(file, title, formulas, sql, {courseNo()});
}

bool ClassResultsForm::eventFilter(QObject* watched, QEvent* event) {
    if (ListView1 && watched == ListView1->viewport() &&
        event->type() == QEvent::MouseButtonRelease && hasRows())
        firstEditorBox()->setFocus();
    return ClassForm::eventFilter(watched, event);
}
