#include "app/TFormAbout.h"

#include "app/AppConstants.h"
#include "app/Glyphs.h"
#include "app/services/UiServices.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace wl {

namespace {

QLabel* makeLabel(const QString& text, const QString& color, int pointSize, bool bold,
                  QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSize(pointSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(color));
    label->setPalette(palette);
    return label;
}

} // namespace

TFormAbout::TFormAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("About"));
    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setLineWidth(2);
    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(28, 20, 28, 20);
    inner->addWidget(makeLabel(app::ProductName, QStringLiteral("blue"), 24, true, panel));
    inner->addWidget(makeLabel(QStringLiteral("Version ") + app::VersionText,
                               QStringLiteral("navy"), 11, false, panel));
    // The shipped city list is GeoNames data, whose licence asks for this credit.
    inner->addWidget(makeLabel(QStringLiteral("Map: Natural Earth. Cities: GeoNames (CC BY 4.0)."),
                               QStringLiteral("gray"), 7, false, panel));

    closeButton_ = new QToolButton(this);
    closeButton_->setIcon(Glyphs::icon(Glyph::Ok));
    closeButton_->setIconSize(QSize(24, 24));
    closeButton_->setAutoRaise(true);
    closeButton_->setToolTip(QStringLiteral("Close"));
    connect(closeButton_, &QToolButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(closeButton_, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// The close button is a tool button, which a dialog never presses as its default: Enter and
// Return close the window here, as Escape does.
void TFormAbout::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFormAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    const QRect area = UiServices::screen().workArea();
    if (area.isValid())
        move(area.center() - rect().center());
}

} // namespace wl
