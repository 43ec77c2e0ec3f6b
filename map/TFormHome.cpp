#include "map/TFormHome.h"

#include "app/AppConstants.h"
#include "app/services/CaptionedMessage.h"
#include "app/services/Registry.h"
#include "globe/AngleText.h"
#include "globe/GlobeControl.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobePointText.h"
#include "grid/LocaleInfo.h"
#include "map/CityText.h"
#include "map/MapHost.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cmath>

namespace wl {

namespace {

constexpr int DialogWidth = 321;
constexpr int DialogHeight = 244;
constexpr int NameLength = 50;
constexpr int MaxMinutes = 59;
constexpr GlobeColor Red = 255;
constexpr int MarkerSize = 11;

QFont arial(int pixels)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    return f;
}

// Only digits get in, whether typed, pasted or dropped; editing keys keep working.
QLineEdit* digitBox(QWidget* parent, int length)
{
    auto* box = new QLineEdit(parent);
    box->setMaxLength(length);
    box->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(length)), box));
    box->setFixedWidth(44);
    return box;
}

std::optional<double> number(const QLineEdit* box)
{
    return LocaleInfo::current().parseNumber(box->text());
}

void errorBox(const QString& caption, const QString& text)
{
    CaptionedMessage(caption, text, MessageKind::Error, 0, QMessageBox::Ok);
}

// "0.00" in the locale's convention, "-" in front for the southern or eastern half.
QString homeText(double degrees, bool negative)
{
    const QString text = LocaleInfo::current().formatFixed(degrees, 2);
    return negative ? QStringLiteral("-") + text : text;
}

} // namespace

TFormHome::TFormHome(MapHost& host, QWidget* parent) : QDialog(parent), m_host(host)
{
    build();
    showCurrentHome();
}

void TFormHome::showCurrentHome()
{
    // The dialog opens on the home the map measures from, so a small change is a small edit.
    EditName->setText(m_host.homeName());
    const LocaleInfo& locale = LocaleInfo::current();
    const std::optional<double> lat = locale.parseNumber(m_host.homeLatitudeText());
    const std::optional<double> lon = locale.parseNumber(m_host.homeLongitudeText());
    if (!lat || !lon || std::abs(*lat) > 90 || std::abs(*lon) > 180)
        return;
    // Whole degrees and rounded minutes, as the boxes take them.
    const auto split = [](double v, QString& degrees, QString& minutes) {
        long total = std::lround(std::abs(v) * 60);
        degrees = QString::number(total / 60);
        minutes = QString::number(total % 60);
    };
    QString latDeg, latMin, lonDeg, lonMin;
    split(*lat, latDeg, latMin);
    split(*lon, lonDeg, lonMin);
    // The longitude texts are West positive.
    setPoint(latDeg, latMin, *lat < 0, lonDeg, lonMin, *lon < 0);
}

void TFormHome::build()
{
    setWindowTitle(QStringLiteral("Wavelark 4.4"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFont(arial(11));
    setFixedSize(DialogWidth, DialogHeight);

    Panel1 = new QLabel(QStringLiteral("Enter Home Town Data"), this);
    Panel1->setFont(arial(19));
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedHeight(40);

    auto* label1 = new QLabel(QStringLiteral("Name"), this);
    EditName = new QLineEdit(this);
    EditName->setMaxLength(NameLength);
    EditName->setToolTip(QStringLiteral("Example: Radi 1989"));
    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(label1);
    nameRow->addWidget(EditName, 1);

    GroupBox2 = coordinateGroup(QStringLiteral("Latitude"), RadioButton1, QStringLiteral("N"),
                                RadioButton2, QStringLiteral("S"), EditDegLat, 2, EditMinLat);
    GroupBox2->setToolTip(QStringLiteral("example: 15.5 "));
    GroupBox3 = coordinateGroup(QStringLiteral("Longitude"), RadioButton3, QStringLiteral("W"),
                                RadioButton4, QStringLiteral("E"), EditDegLon, 3, EditMinLon);
    auto* groups = new QHBoxLayout;
    groups->addWidget(GroupBox2);
    groups->addWidget(GroupBox3);

    BtnSave = new QPushButton(QStringLiteral("Save"), this);
    BtnSave->setToolTip(QStringLiteral("Save Home Town Coordinates"));
    BtnSave->setDefault(true);
    BtnClose = new QPushButton(QStringLiteral("Close"), this);
    BtnClose->setToolTip(QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BtnSave);
    buttons->addWidget(BtnClose);
    buttons->addStretch(1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 8);
    column->addWidget(Panel1);
    column->addLayout(nameRow);
    column->addLayout(groups);
    column->addLayout(buttons);

    connect(BtnSave, &QPushButton::clicked, this, [this] { BtnSaveClick(); });
    connect(BtnClose, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
    connect(EditDegLat, &QLineEdit::textChanged, this, [this] { EditDegLatChange(); });
    connect(EditMinLat, &QLineEdit::textChanged, this, [this] { EditMinLatChange(); });
    connect(EditDegLon, &QLineEdit::textChanged, this, [this] { EditDegLonChange(); });
    connect(EditMinLon, &QLineEdit::textChanged, this, [this] { EditMinLonChange(); });
}

QGroupBox* TFormHome::coordinateGroup(const QString& title, QRadioButton*& first,
                                      const QString& firstText, QRadioButton*& second,
                                      const QString& secondText, QLineEdit*& degrees,
                                      int degreeLength, QLineEdit*& minutes)
{
    auto* group = new QGroupBox(title, this);
    first = new QRadioButton(firstText, group);
    second = new QRadioButton(secondText, group);
    first->setChecked(true);
    degrees = digitBox(group, degreeLength);
    minutes = digitBox(group, 2);
    auto* grid = new QGridLayout(group);
    grid->addWidget(first, 0, 0);
    grid->addWidget(second, 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Deg"), group), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Min"), group), 0, 2);
    grid->addWidget(degrees, 1, 1);
    grid->addWidget(minutes, 1, 2);
    return group;
}

void TFormHome::setPoint(const QString& latDegrees, const QString& latMinutes, bool south,
                         const QString& lonDegrees, const QString& lonMinutes, bool east)
{
    // Minutes first: degrees at the limit then clear them.
    EditMinLat->setText(latMinutes);
    EditDegLat->setText(latDegrees);
    EditMinLon->setText(lonMinutes);
    EditDegLon->setText(lonDegrees);
    (south ? RadioButton2 : RadioButton1)->setChecked(true);
    (east ? RadioButton4 : RadioButton3)->setChecked(true);
}

// --- the boxes' rules ------------------------------------------------------------------------

void TFormHome::limitDegrees(QLineEdit* degrees, QLineEdit* minutes, int limit)
{
    minutes->setEnabled(true);
    const std::optional<double> value = number(degrees);
    if (!value)
        return;
    if (*value > limit) {
        degrees->clear();
    } else if (*value == limit) {
        // 90 or 180 degrees carry no minutes: a kept "30" would make 90.5.
        minutes->clear();
        minutes->setEnabled(false);
    }
}

void TFormHome::limitMinutes(QLineEdit* minutes)
{
    if (const std::optional<double> value = number(minutes); value && *value > MaxMinutes)
        minutes->clear();
}

void TFormHome::EditDegLatChange()
{
    limitDegrees(EditDegLat, EditMinLat, 90);
}

void TFormHome::EditMinLatChange()
{
    limitMinutes(EditMinLat);
}

void TFormHome::EditDegLonChange()
{
    limitDegrees(EditDegLon, EditMinLon, 180);
}

void TFormHome::EditMinLonChange()
{
    limitMinutes(EditMinLon);
}

// --- saving ----------------------------------------------------------------------------------

std::optional<double> TFormHome::angle(const QLineEdit* degrees, const QLineEdit* minutes)
{
    const std::optional<double> d = number(degrees);
    if (!d)
        return std::nullopt;
    const std::optional<double> m = minutes->isEnabled() ? number(minutes) : std::nullopt;
    return m ? *d + *m / 60 : *d;
}

void TFormHome::BtnSaveClick()
{
    const QString name = EditName->text();
    if (name.isEmpty()) {
        errorBox(QStringLiteral("Home name required."), QStringLiteral("Please enter home name."));
        return;
    }
    // Both halves are checked before anything changes, so a refused longitude never leaves
    // the map with a new latitude and the old longitude.
    const std::optional<double> lat = angle(EditDegLat, EditMinLat);
    if (!lat) {
        errorBox(QStringLiteral("Latitude incorrect."),
                 QStringLiteral("Please reenter  latitude value."));
        return;
    }
    const std::optional<double> lon = angle(EditDegLon, EditMinLon);
    if (!lon) {
        errorBox(QStringLiteral("Longitude incorrect."),
                 QStringLiteral("Please reenter  longitude value."));
        return;
    }
    const QString latText = homeText(*lat, RadioButton2->isChecked());
    const QString lonText = homeText(*lon, RadioButton4->isChecked());
    m_host.setHomeTexts(latText, lonText);
    const std::optional<QString> settingsError = writeSettings(latText, lonText);
    // The marker stands where the map now measures from: the texts, read back.
    const LocaleInfo locale = LocaleInfo::current();
    placeMarker(locale.parseNumber(latText).value_or(0), locale.parseNumber(lonText).value_or(0));
    if (settingsError)
        ShowMessage(QStringLiteral("The home town could not be saved in the settings."),
                    *settingsError);
    accept();
}

std::optional<QString> TFormHome::writeSettings(const QString& latitude, const QString& longitude)
{
    Registry registry(m_host.settingsFile());
    registry.openKey(app::SettingsKey, true);
    registry.writeString(QStringLiteral("Home"), EditName->text());
    registry.writeString(QStringLiteral("Home Lat"), latitude);
    registry.writeString(QStringLiteral("Home Lon"), longitude);
    if (registry.flush())
        return std::nullopt;
    return registry.errorString();
}

void TFormHome::placeMarker(double latitude, double longitude)
{
    GlobeControl& globe = m_host.globe();
    GlobeLayer& layer = m_host.homeMarkerLayer();
    layer.reset();
    layer.setLayerFlag(GlobeLayer::FlagScaleFont, false);
    globe.fontData.color = Red;
    globe.fontData.styles = 0;
    globe.fontData.size = MarkerSize;
    GlobePointText::create(layer, degToGU(latitude), -degToGU(longitude),
                           CityText::titleBytes(EditName->text()));
}

void TFormHome::BtnCancelClick()
{
    reject();
}

} // namespace wl
