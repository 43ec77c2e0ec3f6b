#include "update/TFormProgress.h"

#include "app/AppConstants.h"
#include "app/Glyphs.h"
#include "app/services/UiServices.h"
#include "update/TwlUpdater.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace wl {

TFormProgress::TFormProgress(UpdateSetup setup, QWidget* parent) : QDialog(parent), ui_(this)
{
    setObjectName(QStringLiteral("FormProgress"));
    setWindowFlags(Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowTitleHint);
    setFixedSize(427, 194);
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(11);
    setFont(arial);

    Panel1 = new QLabel(
        QStringLiteral("Click button to check if you are using the current program version."),
        this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 427, 41);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setAutoFillBackground(true);
    QPalette infoColour = Panel1->palette();
    infoColour.setColor(QPalette::Window, QColor(0xff, 0xff, 0xe1));
    infoColour.setColor(QPalette::WindowText, Qt::black);
    Panel1->setPalette(infoColour);
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Raised);

    BtnUpdate = new QPushButton(QStringLiteral("Check For Program Update"), this);
    BtnUpdate->setObjectName(QStringLiteral("BtnUpdate"));
    BtnUpdate->setGeometry(128, 72, 171, 29);
    BtnClose = new QToolButton(this);
    BtnClose->setObjectName(QStringLiteral("BtnClose"));
    BtnClose->setIcon(Glyphs::icon(Glyph::Close));
    BtnClose->setIconSize(QSize(20, 20));
    BtnClose->setText(QStringLiteral("Close"));
    BtnClose->setToolTip(QStringLiteral("Close"));
    BtnClose->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    BtnClose->setGeometry(170, 150, 87, 30);

    LblConnect = new QLabel(QStringLiteral("Please standby while connecting...."), this);
    LblConnect->setObjectName(QStringLiteral("LblConnect"));
    QFont big(QStringLiteral("Arial"));
    big.setPixelSize(13);
    LblConnect->setFont(big);
    LblConnect->setAlignment(Qt::AlignCenter);
    LblConnect->setGeometry(0, 112, 427, 24);
    LblConnect->hide();

    Updater1 = new TwlUpdater(ui_, this);
    ui_.setUpdater(Updater1);
    ui_.closeMainWindow = std::move(setup.closeProgram);
    Updater1->InfoFileURL = setup.infoFileUrl.isEmpty()
                                ? app::UpdateServerAddress + QStringLiteral("/Exes/wl.inf")
                                : setup.infoFileUrl;
    if (!setup.publicKey.isEmpty())
        Updater1->PublicKey = setup.publicKey;
    Updater1->CaFile = setup.caFile;
    if (!setup.programPath.isEmpty())
        Updater1->ProgramPath = setup.programPath;
    if (!setup.replacerPath.isEmpty())
        Updater1->ReplacerPath = setup.replacerPath;
    Updater1->VersionControl = TwlUpdaterVersionControl::byNumber;
    Updater1->VersionNumber =
        setup.versionNumber.isEmpty() ? app::VersionText : setup.versionNumber;
    Updater1->VersionDate = QStringLiteral("10/05/2005");
    Updater1->ShowMessages = {TwlUpdaterShowMessage::mAskUpgrade, TwlUpdaterShowMessage::mConnLost,
                              TwlUpdaterShowMessage::mPasswordRequest};
    Updater1->ProgramTitle = app::ProductName;
    connectUpdater();
    connect(BtnUpdate, &QPushButton::clicked, this, &TFormProgress::BtnUpdateClick);
    connect(BtnClose, &QToolButton::clicked, this, &TFormProgress::BtnAbortClick);
    FormCreate();
}

TFormProgress::~TFormProgress()
{
    // The component goes first: its transfer ends before the window's parts do.
    delete Updater1;
}

void TFormProgress::FormCreate()
{
    setWindowTitle(app::ProductName + QStringLiteral(" Program Updates"));
}

void TFormProgress::info(const QString& caption, const QString& text)
{
    updateMessage(caption, text, MessageKind::Information);
}

void TFormProgress::connectUpdater()
{
    Updater1->OnBeginUpgrade = [this](const QString&, TwlUpgradeMethod, const QStringList&, bool&) {
        LblConnect->hide();
    };
    Updater1->OnNoUpdateAvailable = [this] {
        LblConnect->hide();
        info(QStringLiteral("Update Not Needed"),
             QStringLiteral("You are using the current version."));
    };
    // Where the server's answer says more than "not there" or "no connection", the message
    // gives the reason: a server error, a refused redirect or certificate is not a missing file.
    Updater1->OnNoInfoFile = [this] {
        LblConnect->hide();
        info(app::ProductName, notFound()
                                   ? QStringLiteral("Information file not found.")
                                   : QStringLiteral("The information file could not be fetched. ") +
                                         Updater1->FailureText);
    };
    Updater1->OnHostUnreachable = [this](const QString&, const QString& host) {
        LblConnect->hide();
        QString text = QStringLiteral("Unable to connect to ") + host + '.';
        if (Updater1->Failure == TwlFailure::Secure)
            text += QLatin1Char(' ') + Updater1->FailureText;
        info(app::ProductName, text);
    };
    Updater1->OnLostFile = [this](const QString& url, int, bool& continueUpgrade) {
        const QString what =
            notFound() ? QStringLiteral("\" not found.")
                       : QStringLiteral("\" could not be fetched. ") + Updater1->FailureText;
        updateMessage(app::ProductName,
                      QStringLiteral("File \"") + url + what + QStringLiteral("\r\r") +
                          QStringLiteral(" Upgrade aborted."),
                      MessageKind::Error);
        continueUpgrade = false;
    };
    // The component shows its own box for these; the window only stops saying "connecting".
    Updater1->OnConnLost = [this] { LblConnect->hide(); };
    Updater1->OnUpdateRefused = [this](const QString&) { LblConnect->hide(); };
    Updater1->OnLaterUpgrade = [this] { close(); };
    Updater1->OnAborted = [this] { close(); };
}

bool TFormProgress::notFound() const
{
    return Updater1->StatusCode == 404 || Updater1->StatusCode == 410;
}

void TFormProgress::BtnUpdateClick()
{
    if (Updater1->Checking())
        return;
    LblConnect->show();
    LblConnect->repaint();
    Updater1->CheckUpdate();
}

void TFormProgress::BtnAbortClick()
{
    close();
}

} // namespace wl
