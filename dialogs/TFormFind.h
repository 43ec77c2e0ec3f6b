#pragma once

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace wl {

class TFormMain;

// The search window: steps through the cells of the main window's grid, as displayed, that
// contain a text. Non-modal, on top of the main window, destroyed when it closes.
class TFormFind : public QWidget
{
    Q_OBJECT
public:
    explicit TFormFind(TFormMain& main);

    QLineEdit* Edit1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QToolButton* BtnFind = nullptr;
    QToolButton* BtnClose = nullptr;

    // The window is shown for the first time or the user came back to it from another window
    // of the program: the next search starts over at row 1.
    void FormActivate();
    void BtnFindClick();
    void BtnCloseClick();
    bool found() const { return found_; }

protected:
    bool event(QEvent* event) override;

private:
    void buildControls();
    void tell(const QString& text);

    TFormMain& main_;
    bool found_ = false;
    // The text and case rule of the hits that set found_.
    QString foundText_;
    Qt::CaseSensitivity foundCase_ = Qt::CaseInsensitive;
    bool activatedOnce_ = false;
    // Another window of the program had the focus since this one last had it.
    bool away_ = false;
    // One of this window's own message boxes is open: coming back from it is no activation.
    bool telling_ = false;
};

} // namespace wl
