#pragma once

#include <QList>
#include <QString>

namespace wl::rig {

// One radio the radio library can drive.
struct RigModel
{
    int id = 0;
    QString maker;
    QString model;
};

// Every radio model the library knows, by maker and then model.
QList<RigModel> rigModels();

} // namespace wl::rig
