#pragma once

#include "app/AppTestSupport.h"
#include "app/services/ServiceDoubles.h"
#include "globe/AngleText.h"
#include "globe/GlobeControl.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobeObject.h"
#include "globe/GlobePointText.h"
#include "map/MapHost.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace wl::test {

// A city of a fixture file: degrees, north and east positive.
struct City
{
    const char* title;
    double lat;
    double lon;
};

// Writes a layer file of point texts with a control of its own.
inline void writeCityFile(const QString& path, const std::vector<City>& cities)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    GlobeControl writer;
    GlobeLayer& layer = writer.addLayer("scratch");
    for (const City& c : cities)
        GlobePointText::create(layer, degToGU(c.lat), degToGU(c.lon), c.title);
    layer.saveToFile(QFile::encodeName(path).toStdString());
}

// The titles a layer file holds, in file order.
inline QStringList titlesInFile(const QString& path)
{
    GlobeControl reader;
    GlobeLayer& layer = reader.addLayer("scratch");
    layer.loadFromFile(QFile::encodeName(path).toStdString());
    QStringList titles;
    for (int i = 0; i < layer.objectCount(); ++i)
        titles << QString::fromLatin1(layer.object(i)->title());
    return titles;
}

inline QStringList titlesOf(const GlobeLayer& layer)
{
    QStringList titles;
    for (int i = 0; i < layer.objectCount(); ++i)
        titles << QString::fromLatin1(layer.object(i)->title());
    return titles;
}

// Makes the application before any widget member of a fixture: put it first.
struct Application
{
    Application() { ensureApplication(); }
};

// The map window as the editor and the home dialog see it: a real control with the layer
// arrangement of the map (a profile of six layers, the cities at 4 and 5 loaded as the
// shipped profile loads them, then "DBPoints" and "Home"), in a program folder of its own.
class FakeMapHost : public MapHost
{
    Application m_application;

public:
    QTemporaryDir dir;
    GlobeControl control;
    QString home = QStringLiteral("Ruzo Vudi");
    QString homeLat = QStringLiteral("27.20");
    QString homeLon = QStringLiteral("80.27");
    int cityLayer = 4;
    std::vector<int> helpContexts;

    QString folder() const { return dir.path() + QStringLiteral("/program/"); }
    QString dataFile(const QString& name) const
    {
        return folder() + QStringLiteral("Globe Data/") + name;
    }
    QString userFolder() const { return dir.path() + QStringLiteral("/user/"); }
    QString settings() const { return dir.path() + QStringLiteral("/settings.ini"); }

    GlobeLayer* homeLayer = nullptr;

    // extraLayers more layers in the profile after the six usual ones.
    explicit FakeMapHost(const std::vector<City>& cities, const std::vector<City>& custom = {},
                         int extraLayers = 0)
    {
        control.resize(800, 600);
        control.onLayerWarning = [](const QString& message) {
            ADD_FAILURE() << message.toStdString();
        };
        for (const char* name : {"Land.lay", "Borders.lay", "Rivers.lay", "Places.lay"})
            writeCityFile(dataFile(QString::fromLatin1(name)), {});
        writeCityFile(dataFile(QStringLiteral("Cities.dat")), cities);
        writeCityFile(dataFile(QStringLiteral("CustomCities.dat")), custom);
        writeProfile(extraLayers);
        control.setProfileName(folder() + QStringLiteral("globe.prf"));
        control.addLayer("DBPoints");
        homeLayer = &control.addLayer("Home");
        control.setScaleFactor(0);
    }

    GlobeControl& globe() override { return control; }
    QString programFolder() const override { return folder(); }
    QString homeName() const override { return home; }
    QString homeLatitudeText() const override { return homeLat; }
    QString homeLongitudeText() const override { return homeLon; }
    void setHomeTexts(const QString& latitude, const QString& longitude) override
    {
        homeLat = latitude;
        homeLon = longitude;
    }
    GlobeLayer& currentCityLayer() override { return control.layer(cityLayer); }
    void setCurrentCityLayer(int index) override { cityLayer = index; }
    GlobeLayer& homeMarkerLayer() override { return *homeLayer; }
    void setHelpContext(int context) override { helpContexts.push_back(context); }
    QString settingsFile() const override { return settings(); }

private:
    void writeProfile(int extraLayers) const
    {
        QFile f(folder() + QStringLiteral("globe.prf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[LayerList]\n"
                "0=./Globe Data/Land.lay\n1=./Globe Data/Borders.lay\n"
                "2=./Globe Data/Rivers.lay\n3=./Globe Data/Places.lay\n"
                "4=./Globe Data/Cities.dat\n5=./Globe Data/CustomCities.dat\n");
        for (int i = 0; i < extraLayers; ++i)
            f.write(QByteArray::number(6 + i) + "=./Globe Data/Places.lay\n");
        f.write("[Cities.dat]\nName=Cities\nEnabled=1\nVisible=1\nLoadOnDemand=1\n"
                "ZoomUnits=NM\nZoomMin=0\nZoomMax=1500\n"
                "[CustomCities.dat]\nName=Custom cities\nEnabled=1\nVisible=1\n"
                "LoadOnDemand=0\n");
    }
};

} // namespace wl::test
