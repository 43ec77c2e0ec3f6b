#pragma once

#include <QString>

namespace wl::store {

// The outcome of a store operation: success, or failure with a reason a person can read.
struct Status
{
    bool ok = true;
    QString error;

    static Status success() { return {}; }
    static Status failure(QString reason) { return {false, std::move(reason)}; }
    explicit operator bool() const { return ok; }
};

} // namespace wl::store
