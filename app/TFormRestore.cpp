#include "app/TFormRestore.h"

#include "app/AppConstants.h"
#include "app/TFormMain.h"
#include "app/WaitCursor.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/UiServices.h"
#include "grid/LocaleInfo.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace wl {

namespace {

const QString Caption = QStringLiteral("Restore From Backup");

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

TFormRestore::TFormRestore(TFormMain& main, QString backupFolder)
    : QDialog(&main), main_(main), backupFolder_(std::move(backupFolder))
{
    setObjectName(QStringLiteral("FormRestore"));
    setWindowTitle(Caption);
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Choose what to restore. The table in use now is not deleted: it is kept "
                       "in the data folder and listed here, so a restore can be undone."),
        this);
    intro->setTextFormat(Qt::PlainText);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    ListBackups = new QTreeWidget(this);
    ListBackups->setObjectName(QStringLiteral("ListBackups"));
    ListBackups->setRootIsDecorated(false);
    ListBackups->setHeaderLabels(
        {QStringLiteral("Saved"), QStringLiteral("Records"), QStringLiteral("From")});
    ListBackups->header()->setStretchLastSection(true);
    layout->addWidget(ListBackups, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BtnRestore = new QPushButton(QStringLiteral("&Restore"), this);
    BtnRestore->setObjectName(QStringLiteral("BtnRestore"));
    BtnRestore->setDefault(true);
    BtnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(BtnRestore);
    buttons->addWidget(BtnCancel);
    layout->addLayout(buttons);
    connect(BtnRestore, &QPushButton::clicked, this, &TFormRestore::BtnRestoreClick);
    connect(BtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBackups, &QTreeWidget::itemDoubleClicked, this, &TFormRestore::BtnRestoreClick);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this,
            [] { UiServices::help().showContext(app::HelpContext::Maintenance); });
    resize(620, 300);
    fill();
}

QString TFormRestore::describe(const BackupRestore::Source& source) const
{
    if (!source.usable())
        return source.problem;
    if (source.suffix.isEmpty())
        return QStringLiteral("Backup in %1").arg(native(source.folder));
    return QStringLiteral("Kept aside in the data folder (%1)").arg(source.suffix);
}

void TFormRestore::fill()
{
    {
        const WaitCursor wait;
        sources_ = BackupRestore::list(backupFolder_, main_.settings().dataBasePath);
    }
    ListBackups->clear();
    const LocaleInfo locale = LocaleInfo::current();
    for (const BackupRestore::Source& source : sources_) {
        auto* item = new QTreeWidgetItem(ListBackups);
        item->setText(0, source.saved.isValid() ? locale.formatDisplayDateTime(
                                                      source.saved, main_.settings().dateOption)
                                                : QStringLiteral("-"));
        item->setText(1, source.usable() ? locale.formatFixed(double(source.records), 0)
                                         : QStringLiteral("-"));
        item->setText(2, describe(source));
        item->setToolTip(2, describe(source));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        if (!source.usable())
            item->setFlags(item->flags() & ~Qt::ItemIsEnabled & ~Qt::ItemIsSelectable);
    }
    for (int col = 0; col < 2; ++col)
        ListBackups->resizeColumnToContents(col);
    for (std::size_t i = 0; i < sources_.size(); ++i) {
        if (sources_[i].usable()) {
            ListBackups->setCurrentItem(ListBackups->topLevelItem(int(i)));
            break;
        }
    }
    if (sources_.empty()) {
        auto* item = new QTreeWidgetItem(ListBackups);
        item->setText(2, QStringLiteral("No backup in %1").arg(native(backupFolder_)));
        item->setFlags(Qt::NoItemFlags);
    }
}

bool TFormRestore::confirm(const BackupRestore::Source& source)
{
    const LocaleInfo locale = LocaleInfo::current();
    const QString text =
        QStringLiteral("Replace the table in use with the one saved %1 (%2 records)?\n\nThe "
                       "table in use is kept in the data folder and can be brought back with "
                       "Restore From Backup.")
            .arg(locale.formatDisplayDateTime(source.saved, main_.settings().dateOption),
                 locale.formatFixed(double(source.records), 0));
    return CaptionedMessage(Caption, text, MessageKind::Confirmation, app::HelpContext::Maintenance,
                            QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void TFormRestore::BtnRestoreClick()
{
    const int row = ListBackups->indexOfTopLevelItem(ListBackups->currentItem());
    if (row < 0 || std::size_t(row) >= sources_.size() || !sources_[std::size_t(row)].usable()) {
        ShowMessage(QStringLiteral("Please choose a backup to restore."));
        return;
    }
    const BackupRestore::Source source = sources_[std::size_t(row)];
    if (main_.editing()) {
        ShowMessage(QStringLiteral("Please save or cancel the edits in the list first."));
        return;
    }
    if (!confirm(source))
        return;
    BackupRestore::Outcome done;
    {
        const WaitCursor wait;
        main_.table().close();
        done = BackupRestore::restore(main_.settings().dataBasePath, source);
    }
    if (const store::Status opened = main_.OpenTable(); !opened)
        ShowMessage(QStringLiteral("Database read failure"), opened.error);
    main_.ReadCategories();
    main_.setCategories(main_.categories());
    main_.ReadAllRecords();
    main_.SetBrowseMode();
    if (!done.status) {
        CaptionedMessage(Caption, done.status.error + QStringLiteral("\n\nNothing was replaced."),
                         MessageKind::Error, app::HelpContext::Maintenance, QMessageBox::Ok);
        fill();
        return;
    }
    showRestored(source, done);
    accept();
}

void TFormRestore::showRestored(const BackupRestore::Source& source,
                                const BackupRestore::Outcome& done)
{
    const LocaleInfo locale = LocaleInfo::current();
    QString text = QStringLiteral("The table saved %1 was restored: %2 records.")
                       .arg(locale.formatDisplayDateTime(source.saved, main_.settings().dateOption),
                            locale.formatFixed(double(done.records), 0));
    if (!done.keptAs.isEmpty())
        text += QStringLiteral("\n\nThe table it replaced is kept in the data folder (%1); "
                               "Restore From Backup brings it back.")
                    .arg(done.keptSuffix);
    CaptionedMessage(Caption, text, MessageKind::Information, app::HelpContext::Maintenance,
                     QMessageBox::Ok);
}

} // namespace wl
