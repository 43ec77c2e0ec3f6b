#include "dialogs/TFormCategory.h"

#include "app/AppConstants.h"
#include "app/Glyphs.h"
#include "app/TFormMain.h"
#include "app/WaitCursor.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/UiServices.h"
#include "grid/TSortableGrid.h"
#include "store/CategoryFile.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTabBar>
#include <QToolButton>

#include <vector>

namespace wl {

namespace {

constexpr int NameLength = 20;
const QString CategoryField = QStringLiteral("Category");

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const QString& hint)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setAutoDefault(false);
    return button;
}

void tellFileError(const store::Status& status)
{
    ShowMessage(QStringLiteral("The category list could not be saved; nothing was changed."),
                status.error);
}

} // namespace

TFormCategory::TFormCategory(TFormMain& main) : QDialog(&main), main_(main)
{
    setObjectName(QStringLiteral("FormCategory"));
    setWindowTitle(QStringLiteral("Category Edit"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(323, 259);
    buildControls();
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this,
            [] { UiServices::help().showContext(app::HelpContext::CategoryEditor); });
    FormActivate();
}

void TFormCategory::buildControls()
{
    auto* grid = new QGridLayout(this);
    ListCategory = new QListWidget(this);
    ListCategory->setObjectName(QStringLiteral("ListCategory"));
    ListCategory->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->addWidget(ListCategory, 0, 0, 6, 1);

    EditCategory = new QLineEdit(this);
    EditCategory->setObjectName(QStringLiteral("EditCategory"));
    EditCategory->setMaxLength(NameLength);
    EditCategory->setToolTip(QStringLiteral("edit window"));
    grid->addWidget(EditCategory, 6, 0);

    BtnAdd = makeButton(this, "BtnAdd", QStringLiteral("&Add"), QStringLiteral("Add New Category"));
    BtnDelete = makeButton(this, "BtnDelete", QStringLiteral("D&elete"),
                           QStringLiteral("Delete Selected Category"));
    BtnSave =
        makeButton(this, "BtnSave", QStringLiteral("&Save"), QStringLiteral("Save Category Edit"));
    BtnClear =
        makeButton(this, "BtnClear", QStringLiteral("&Clear"), QStringLiteral("Clear Edit Window"));
    BtnClose = new QToolButton(this);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    BtnClose->setIcon(Glyphs::icon(Glyph::Exit));
    BtnClose->setToolTip(QStringLiteral("Close"));
    int row = 0;
    for (QWidget* w : {static_cast<QWidget*>(BtnAdd), static_cast<QWidget*>(BtnDelete),
                       static_cast<QWidget*>(BtnSave), static_cast<QWidget*>(BtnClear)})
        grid->addWidget(w, row++, 1);
    grid->setRowStretch(4, 1);
    grid->addWidget(BtnClose, 5, 1, Qt::AlignCenter);

    connect(ListCategory, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { EditCategory->setText(item->text()); });
    connect(BtnAdd, &QPushButton::clicked, this, &TFormCategory::BtnAddClick);
    connect(BtnDelete, &QPushButton::clicked, this, &TFormCategory::BtnDeleteClick);
    connect(BtnSave, &QPushButton::clicked, this, &TFormCategory::BtnSaveClick);
    connect(BtnClear, &QPushButton::clicked, this, &TFormCategory::BtnClearClick);
    connect(BtnClose, &QToolButton::clicked, this, &QDialog::close);
}

void TFormCategory::FormActivate()
{
    ListCategory->clear();
    ListCategory->addItems(main_.categories());
    ListCategory->setCurrentRow(-1);
    ListCategory->clearSelection();
}

QString TFormCategory::selectedName() const
{
    const QList<QListWidgetItem*> chosen = ListCategory->selectedItems();
    return chosen.isEmpty() ? QString() : chosen.front()->text();
}

void TFormCategory::backToAllRecords()
{
    if (main_.Tab1->currentIndex() <= 0)
        return;
    {
        const QSignalBlocker quiet(main_.Tab1);
        main_.Tab1->setCurrentIndex(0);
    }
    main_.SortableGrid1->SetColCount(ColumnCount);
    main_.ReadAllRecords();
    main_.SetBrowseMode();
}

void TFormCategory::applyCategories(const QStringList& names)
{
    backToAllRecords();
    main_.setCategories(names);
    FormActivate();
    EditCategory->clear();
}

void TFormCategory::BtnAddClick()
{
    AddCategoryRecord();
}

void TFormCategory::AddCategoryRecord()
{
    const QString name = EditCategory->text();
    if (name.isEmpty())
        return;
    // A second copy would be a second tab showing the same records.
    if (main_.categories().contains(name)) {
        CaptionedMessage(QStringLiteral("Category Edit"),
                         QStringLiteral("The category %1 exists already.").arg(name),
                         MessageKind::Information, app::HelpContext::CategoryEditor,
                         QMessageBox::Ok);
        return;
    }
    // The new name goes at the end of the file; the lists keep themselves sorted.
    const store::Status written =
        store::CategoryFile::inFolder(main_.settings().dataBasePath).append(name);
    if (!written) {
        tellFileError(written);
        return;
    }
    applyCategories(main_.categories() + QStringList{name});
}

void TFormCategory::BtnDeleteClick()
{
    if (ListCategory->selectedItems().isEmpty())
        return;
    QStringList names = main_.categories();
    // Both lists hold the same names; the first exact match is the one selected.
    const qsizetype at = names.indexOf(selectedName());
    if (at < 0)
        return;
    if (CaptionedMessage(QStringLiteral("Confirmation Request"),
                         QStringLiteral("Deleting category %1, please confirm. Its records are "
                                        "kept and shown under All Records.")
                             .arg(selectedName()),
                         MessageKind::Confirmation, app::HelpContext::CategoryEditor,
                         QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    names.removeAt(at);
    names = store::CategoryFile::sorted(names);
    const store::Status written =
        store::CategoryFile::inFolder(main_.settings().dataBasePath).write(names);
    if (!written) {
        tellFileError(written);
        return;
    }
    applyCategories(names);
}

void TFormCategory::BtnSaveClick()
{
    const QString newName = EditCategory->text();
    if (newName.isEmpty() || ListCategory->selectedItems().isEmpty())
        return;
    const QString oldName = selectedName();
    QStringList names = main_.categories();
    const qsizetype at = names.indexOf(oldName);
    if (at < 0)
        return;
    names.removeAt(at);
    // Renamed to a name that exists, the two categories become one: no second tab.
    if (!names.contains(newName))
        names << newName;
    names = store::CategoryFile::sorted(names);
    const store::Status written =
        store::CategoryFile::inFolder(main_.settings().dataBasePath).write(names);
    if (!written) {
        tellFileError(written);
        return;
    }
    applyCategories(names);
    // Only an explicit Yes touches the records.
    const auto answer = CaptionedMessage(
        QStringLiteral("Modifying database"),
        QStringLiteral("Modify all records to reflect category change?"), MessageKind::Confirmation,
        app::HelpContext::CategoryRename, QMessageBox::Yes | QMessageBox::No | QMessageBox::Help);
    if (answer == QMessageBox::Yes)
        RenameCategoryInRecords(oldName, newName);
}

bool TFormCategory::RenameCategoryInRecords(const QString& oldName, const QString& newName)
{
    WaitCursor wait;
    store::Table& table = main_.table();
    // Every record in the range is visited, whatever filter another window left behind.
    store::Status status = table.setFiltered(false);
    std::vector<qint64> matching;
    for (status = status ? table.first() : status; status && !table.eof(); status = table.next()) {
        if (table.fieldValue(CategoryField).toString() == oldName)
            matching.push_back(table.recNum());
    }
    if (status)
        status = table.beginTransaction();
    for (qint64 recNum : matching) {
        if (!status)
            break;
        status = table.updateByRecNum(recNum, {{CategoryField, newName}});
    }
    if (status)
        status = table.commit();
    if (!status) {
        if (table.inTransaction())
            table.rollback();
        ShowMessage(QStringLiteral("The records could not be changed to the new category."),
                    status.error);
        return false;
    }
    return true;
}

void TFormCategory::BtnClearClick()
{
    EditCategory->clear();
}

} // namespace wl
