#include "globe/CartesianPrj.h"

namespace wl {

CartesianPrj::CartesianPrj(PrjHost& host) : FlatPrj(host, GURect{-GU180, -GU90, GU180, GU90}) {}

} // namespace wl
