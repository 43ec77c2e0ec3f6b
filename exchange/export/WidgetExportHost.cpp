#include "exchange/export/WidgetExportHost.h"

#include "app/services/UiServices.h"
#include "exchange/export/TExportChoiceForm.h"
#include "exchange/export/TProgressForm.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace wl {

namespace {

MessageKind kindOf(ExportMessageKind kind)
{
    switch (kind) {
    case ExportMessageKind::Information:
        return MessageKind::Information;
    case ExportMessageKind::Warning:
        return MessageKind::Warning;
    case ExportMessageKind::Error:
        break;
    }
    return MessageKind::Error;
}

// "Text files (*.txt)|*.txt|All Files (*.*)|*.*" as Qt writes it: "Text files (*.txt);;All
// Files (*.*)" (every description already names its patterns).
QString qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList descriptions;
    for (qsizetype i = 0; i < parts.size(); i += 2)
        descriptions << parts[i];
    return descriptions.join(QStringLiteral(";;"));
}

constexpr int ViewerDelayMs = 250;

} // namespace

WidgetExportHost::WidgetExportHost(QWidget* owner) : owner_(owner)
{
    qApp->installEventFilter(this);
}

WidgetExportHost::~WidgetExportHost()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

QWidget* WidgetExportHost::window() const
{
    return owner_ ? owner_->window() : nullptr;
}

void WidgetExportHost::message(ExportMessageKind kind, const QString& text)
{
    MessageRequest request;
    request.caption = QApplication::applicationName();
    request.text = text;
    request.kind = kindOf(kind);
    request.buttons = QMessageBox::Ok;
    UiServices::ask(request);
}

bool WidgetExportHost::confirm(ExportMessageKind kind, const QString& text)
{
    MessageRequest request;
    request.caption = QApplication::applicationName();
    request.text = text;
    request.kind = kindOf(kind);
    request.buttons = QMessageBox::Ok | QMessageBox::Cancel;
    return UiServices::ask(request) == QMessageBox::Ok;
}

bool WidgetExportHost::choose(ExportChoice& choice)
{
    TExportChoiceForm form([this](TExportType type) { return canView(type); },
                           &ViewerAssociations::iconOf, window());
    form.ItemCount = choice.itemCount;
    form.ChosenType = choice.type;
    form.ExportTypeComboBox->addItems(choice.typeNames);
    if (form.exec() != QDialog::Accepted)
        return false;
    choice.type = form.ChosenType;
    choice.typeName = form.ChosenName;
    choice.view = form.ViewChoice();
    return true;
}

QString WidgetExportHost::saveFileName(const QString& title, const QString& defaultExtension,
                                       const QString& filter)
{
    QString chosen =
        UiServices::dialogs().saveFileName(window(), title, QString(), qtFilter(filter));
    if (!chosen.isEmpty() && !defaultExtension.isEmpty() && QFileInfo(chosen).suffix().isEmpty())
        chosen += u'.' + defaultExtension;
    return chosen;
}

bool WidgetExportHost::canView(TExportType type)
{
    if (ExportTypeExtension(type).isEmpty())
        return true;
    return viewerCheck_ ? viewerCheck_(type) : viewers_.canView(type);
}

bool WidgetExportHost::openFile(const QString& path)
{
    return UiServices::desktop().openUrl(QUrl::fromLocalFile(path));
}

// The viewer comes up over the program: unless the user has already gone elsewhere, the
// program is minimized until it is activated again.
void WidgetExportHost::viewerStarted()
{
    QTimer::singleShot(ViewerDelayMs, this, [this] {
        QWidget* w = window();
        if (w && w->isActiveWindow()) {
            w->showMinimized();
            minimizedForViewer_ = true;
        }
    });
}

bool WidgetExportHost::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationActivate && minimizedForViewer_) {
        minimizedForViewer_ = false;
        if (QWidget* w = window())
            w->showNormal();
    }
    return QObject::eventFilter(watched, event);
}

std::unique_ptr<ExportProgress> WidgetExportHost::createProgress(const QString& caption,
                                                                 const QString& panelText,
                                                                 const QString& messageFormat,
                                                                 int total)
{
    return TProgressForm::CreateProgress(caption, panelText, messageFormat, total, window());
}

void WidgetExportHost::processEvents()
{
    QApplication::processEvents();
}

void WidgetExportHost::setBusy(bool on, bool disableOwner)
{
    if (on)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
    if (disableOwner && window())
        window()->setEnabled(!on);
}

QDateTime WidgetExportHost::now() const
{
    return UiServices::clock().now();
}

} // namespace wl
