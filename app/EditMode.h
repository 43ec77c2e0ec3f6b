#pragma once

#include <QObject>

namespace wl {

class CategoryPanel;
class PositionPanel;
class TFormMain;

// Edit mode of the main window: Edit, Save, Cancel and Delete, the grid's behaviour in each
// mode and the two pick panels. Records are always reached through the number a row carries.
class EditMode : public QObject
{
    Q_OBJECT
public:
    explicit EditMode(TFormMain& main);

    void edit();
    void save();
    void cancel();
    void deleteSelected();
    // The grid and tool bar of browse mode (the main window's SetBrowseMode calls it).
    void showBrowseMode();

    CategoryPanel* categoryPanel() const { return categoryPanel_; }
    PositionPanel* positionPanel() const { return positionPanel_; }

private:
    // A fitted column is at most this many average characters wide.
    static constexpr int MaxFittedChars = 40;
    void installEditLayout();
    void fitEditColumns();
    void cellSelected(int row);
    void cellClicked();
    void writeCurrentCell(int slot, const QString& text);
    void panelClosed();

    TFormMain& main_;
    CategoryPanel* categoryPanel_ = nullptr;
    PositionPanel* positionPanel_ = nullptr;
};

} // namespace wl
