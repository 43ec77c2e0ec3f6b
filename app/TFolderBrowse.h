#pragma once

#include <QString>

class QWidget;

namespace wl {

// The folder chooser of the main window. It keeps the folder last chosen, so the next browse
// starts there unless the caller sets another one first.
class TFolderBrowse
{
public:
    explicit TFolderBrowse(QWidget* owner = nullptr) : owner_(owner) {}

    QString Title;     // the prompt shown in the chooser
    QString Directory; // preselected when not empty; the chosen folder after a successful browse

    // Shows the chooser. True with Directory set to the chosen folder; false on Cancel or when
    // the choice names no folder, with Directory left as it was.
    bool Execute();

private:
    QWidget* owner_;
};

} // namespace wl
