#include "schedule/ui/ScheduleImportDialog.h"

#include "app/services/CaptionedMessage.h"
#include "app/services/UiServices.h"
#include "schedule/ScheduleImport.h"
#include "schedule/ScheduleStore.h"

#include <QDir>
#include <QFileInfo>

namespace wl::schedule {

namespace {

const QString Caption = QStringLiteral("Import Schedule");

ImportReport importOnce(ScheduleStore& store, const QString& file, ScheduleImportDialog::Kind kind,
                        BadLines policy)
{
    return kind == ScheduleImportDialog::Kind::Sites
               ? ScheduleImport::sites(store, file, policy)
               : ScheduleImport::schedule(store, file, policy, {}, QDate::currentDate());
}

void tell(const QString& text, MessageKind kind, const QString& details = {})
{
    MessageRequest request;
    request.caption = Caption;
    request.text = text;
    request.kind = kind;
    request.details = details;
    UiServices::ask(request);
}

} // namespace

bool ScheduleImportDialog::run(QWidget* parent, const QString& dataFolder, Kind kind)
{
    const bool sites = kind == Kind::Sites;
    const QString file = UiServices::dialogs().openFileName(
        parent, sites ? QStringLiteral("Import Sites") : QStringLiteral("Import Schedule"),
        QString(), QStringLiteral("Text files (*.txt *.csv *.TXT *.CSV);;All files (*)"));
    if (file.isEmpty())
        return false;
    ScheduleStore store;
    if (const store::Status s = store.open(dataFolder); !s) {
        tell(s.error, MessageKind::Error);
        return false;
    }
    ImportReport report = importOnce(store, file, kind, BadLines::Refuse);
    if (!report.ok && !report.problems.empty()) {
        // All or nothing unless the user, having seen the lines, asks for the rest.
        MessageRequest ask;
        ask.caption = Caption;
        ask.text = QStringLiteral("%1 line(s) of %2 cannot be read:\n\n%3\n\nImport the other "
                                  "lines and leave these out?")
                       .arg(report.problems.size())
                       .arg(QFileInfo(file).fileName(), report.problemText(10));
        ask.kind = MessageKind::Confirmation;
        ask.buttons = QMessageBox::Yes | QMessageBox::No;
        if (UiServices::ask(ask) != QMessageBox::Yes)
            return false;
        report = importOnce(store, file, kind, BadLines::Skip);
    }
    if (!report.ok) {
        tell(QStringLiteral("%1 was not imported: %2.")
                 .arg(QDir::toNativeSeparators(file), report.failure),
             MessageKind::Warning);
        return false;
    }
    QString text = sites ? QStringLiteral("%1 sites stored.").arg(report.stored)
                         : QStringLiteral("%1 transmissions stored as season %2.")
                               .arg(report.stored)
                               .arg(report.season);
    if (report.duplicates)
        text += QStringLiteral("\n%1 repeated lines left out.").arg(report.duplicates);
    if (!report.problems.empty())
        text += QStringLiteral("\n%1 malformed lines left out.").arg(report.problems.size());
    tell(text, MessageKind::Information);
    return true;
}

} // namespace wl::schedule
