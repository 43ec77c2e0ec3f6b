#include "rig/RigModels.h"

#include <hamlib/rig.h>

#include <algorithm>

namespace wl::rig {

namespace {

int collect(const rig_caps* caps, rig_ptr_t data)
{
    auto* models = static_cast<QList<RigModel>*>(data);
    models->append({static_cast<int>(caps->rig_model), QString::fromLatin1(caps->mfg_name),
                    QString::fromLatin1(caps->model_name)});
    return 1; // go on
}

} // namespace

QList<RigModel> rigModels()
{
    rig_set_debug(RIG_DEBUG_NONE);
    rig_load_all_backends();
    QList<RigModel> models;
    rig_list_foreach(collect, &models);
    std::sort(models.begin(), models.end(), [](const RigModel& a, const RigModel& b) {
        const int maker = a.maker.compare(b.maker, Qt::CaseInsensitive);
        return maker != 0 ? maker < 0 : a.model.compare(b.model, Qt::CaseInsensitive) < 0;
    });
    return models;
}

} // namespace wl::rig
