#include "app/PositionPanel.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace wl {

namespace {

const QString PanelBlanks(20, u' ');

// A validator also stops pasted and dropped text, which a key filter alone would let in.
QLineEdit* digitBox(QWidget* parent, int length)
{
    auto* box = new QLineEdit(parent);
    box->setMaxLength(length);
    box->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(length)), box));
    box->setFixedWidth(40);
    return box;
}

QString twoDigits(const QString& minutes)
{
    return minutes.isEmpty() ? QStringLiteral("00") : minutes.rightJustified(2, u'0');
}

// One half of a position cell: degrees before the first blank, two minute characters, the
// hemisphere letter. Returns what follows the letter and its blank.
QString readHalf(const QString& text, QLineEdit* degrees, QLineEdit* minutes, QChar& letter)
{
    const qsizetype blank = text.indexOf(u' ');
    degrees->setText(text.left(blank < 0 ? text.size() : blank).trimmed());
    minutes->setText(blank < 0 ? QString() : text.mid(blank + 1, 2).trimmed());
    letter = blank < 0 ? QChar() : (blank + 3 < text.size() ? text.at(blank + 3) : QChar());
    return blank < 0 ? QString() : text.mid(blank + 5);
}

} // namespace

PositionPanel::PositionPanel(QWidget* parent) : MovablePanel(parent)
{
    setObjectName(QStringLiteral("Panel5"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 6, 6, 6);
    QWidget* lat = makeGroup(QStringLiteral("Latitude"), 2, latDegrees, latMinutes, north, south,
                             QStringLiteral("N"), QStringLiteral("S"));
    lat->setToolTip(QStringLiteral("example: 45  38 "));
    column->addWidget(lat);
    column->addWidget(makeGroup(QStringLiteral("Longitude"), 3, lonDegrees, lonMinutes, west, east,
                                QStringLiteral("W"), QStringLiteral("E")));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    column->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, [this] {
        hide();
        if (OnAccepted)
            OnAccepted(positionText());
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        hide();
        if (OnCancelled)
            OnCancelled();
    });
    connect(latDegrees, &QLineEdit::textChanged, this,
            [this] { limitDegrees(latDegrees, latMinutes, 90); });
    connect(lonDegrees, &QLineEdit::textChanged, this,
            [this] { limitDegrees(lonDegrees, lonMinutes, 180); });
    for (QLineEdit* minutes : {latMinutes, lonMinutes}) {
        connect(minutes, &QLineEdit::textChanged, this, [minutes](const QString& text) {
            if (text.toInt() > 59)
                minutes->clear();
        });
    }
    adjustSize();
}

QWidget* PositionPanel::makeGroup(const QString& title, int degreeLength, QLineEdit*& degrees,
                                  QLineEdit*& minutes, QRadioButton*& first, QRadioButton*& second,
                                  const QString& firstText, const QString& secondText)
{
    auto* group = new QGroupBox(title, this);
    degrees = digitBox(group, degreeLength);
    minutes = digitBox(group, 2);
    first = new QRadioButton(firstText, group);
    second = new QRadioButton(secondText, group);
    first->setChecked(true);
    auto* grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Deg"), group), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Min"), group), 0, 1);
    grid->addWidget(degrees, 1, 0);
    grid->addWidget(minutes, 1, 1);
    grid->addWidget(first, 1, 2);
    grid->addWidget(second, 1, 3);
    return group;
}

void PositionPanel::limitDegrees(QLineEdit* degrees, QLineEdit* minutes, int limit)
{
    minutes->setEnabled(true);
    const int value = degrees->text().toInt();
    if (value > limit) {
        degrees->clear();
    } else if (value == limit) {
        minutes->clear();
        minutes->setEnabled(false);
    }
}

void PositionPanel::pick(const QString& cell)
{
    QChar letter;
    const QString rest =
        readHalf(cell.trimmed().isEmpty() ? QString() : cell, latDegrees, latMinutes, letter);
    (letter == u'S' ? south : north)->setChecked(true);
    readHalf(rest, lonDegrees, lonMinutes, letter);
    (letter == u'E' ? east : west)->setChecked(true);
    show();
    raise();
    latDegrees->setFocus();
}

QString PositionPanel::positionText() const
{
    if (latDegrees->text().isEmpty() || lonDegrees->text().isEmpty())
        return PanelBlanks;
    // At the pole or the date line the minutes are zero, whatever a disabled box still shows.
    const QString latMin = latMinutes->isEnabled() ? twoDigits(latMinutes->text()) : "00";
    const QString lonMin = lonMinutes->isEnabled() ? twoDigits(lonMinutes->text()) : "00";
    return latDegrees->text() + u' ' + latMin + (south->isChecked() ? u'S' : u'N') + u' ' +
           lonDegrees->text() + u' ' + lonMin + (east->isChecked() ? u'E' : u'W') + PanelBlanks;
}

} // namespace wl
