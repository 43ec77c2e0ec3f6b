#pragma once

#include "app/AppTestSupport.h"
#include "app/TFormMain.h"
#include "app/services/Registry.h"
#include "app/services/ServiceDoubles.h"
#include "globe/GlobeControl.h"
#include "globe/GlobeLayer.h"
#include "globe/GlobeObject.h"
#include "globe/GlobePointText.h"
#include "map/TFormMap.h"
#include "store/Table.h"

#include <QDir>
#include <QFile>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace wl::test {

// One record of a fixture table; a null text leaves the field null.
struct MapRec
{
    double hz;
    const char* callsign;
    const char* user;
    double lat; // North positive
    double lon; // West positive
};

// A main window on a temporary program folder with a small six-layer globe profile (the
// all-cities layer holds "Testville" at 30 N 90 W), the dialogs and message boxes answered by
// doubles, and the map window opened on it.
class MapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ensureApplication();
        writeProfile();
    }

    TFormMain& openMain()
    {
        main_ = std::make_unique<TFormMain>(install.setup());
        main_->show();
        return *main_;
    }

    void addRecords(TFormMain& w, std::initializer_list<MapRec> records)
    {
        store::Table& t = w.table();
        for (const MapRec& r : records) {
            ASSERT_TRUE(t.append());
            t.setFieldValue(QStringLiteral("Category"), QStringLiteral("Ham"));
            t.setFieldValue(QStringLiteral("Hz"), r.hz);
            if (r.callsign)
                t.setFieldValue(QStringLiteral("Callsign"), QString::fromUtf8(r.callsign));
            if (r.user)
                t.setFieldValue(QStringLiteral("User"), QString::fromUtf8(r.user));
            t.setFieldValue(QStringLiteral("RLat"), r.lat);
            t.setFieldValue(QStringLiteral("RLon"), r.lon);
            t.setFieldValue(QStringLiteral("RDate"), 38313.5);
            ASSERT_TRUE(t.post()) << t.lastError().toStdString();
        }
        w.ReadAllRecords();
    }

    // The map window, shown and set up, with its saved view applied.
    TFormMap& openMap(TFormMain& w)
    {
        map_ = std::make_unique<TFormMap>(w);
        map_->show();
        map_->Timer1Timer();
        return *map_;
    }

    void closeMap()
    {
        map_->close();
        map_.reset();
    }

    // Closes the main window, which lets go of the table.
    void closeMain()
    {
        main_->close();
        main_.reset();
    }

    static QStringList titles(const GlobeLayer& layer)
    {
        QStringList result;
        for (int i = 0; i < layer.objectCount(); ++i)
            result << QString::fromLatin1(layer.object(i)->title());
        return result;
    }

    QString settingsValue(const QString& key, const QString& name) const
    {
        Registry registry(install.settingsFile());
        if (!registry.openKey(key, false))
            return QStringLiteral("<no key>");
        return registry.readString(name, QStringLiteral("<missing>"));
    }

    void writeSetting(const QString& name, const QString& value)
    {
        Registry registry(install.settingsFile());
        registry.openKey(QStringLiteral("\\Software\\Brevant\\Wavelark\\4.3"), true);
        registry.writeString(name, value);
        registry.flush();
    }

    ServiceDoubles services;
    TempInstall install;

private:
    void writeProfile()
    {
        const QString folder = install.programFolder() + QStringLiteral("Globe Data/");
        QDir().mkpath(folder);
        const char* files[] = {"Land.lay",      "Borders.lay", "Capitals.lay",
                               "Countries.lay", "Cities.dat",  "CustomCities.dat"};
        QString profile = QStringLiteral("[LayerList]\r\n");
        for (int i = 0; i < 6; ++i)
            profile += QStringLiteral("%1=Globe Data/%2\r\n").arg(i).arg(QLatin1String(files[i]));
        GlobeControl maker;
        for (int i = 0; i < 6; ++i) {
            GlobeLayer& layer = maker.addLayer(files[i]);
            if (i == 4)
                GlobePointText::create(layer, 30 * 5400000, -90 * 5400000, "Testville");
            else
                GlobePointText::create(layer, -60 * 5400000, i * 5400000, std::string(files[i]));
            layer.saveToFile((folder + QLatin1String(files[i])).toStdString());
        }
        QFile file(install.programFolder() + QStringLiteral("globe.prf"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(profile.toLatin1());
    }

    std::unique_ptr<TFormMain> main_;
    std::unique_ptr<TFormMap> map_;
};

} // namespace wl::test
