#pragma once

#include <QDialog>

class QToolButton;

namespace wl {

// The About box: the program's name and version, and a button that closes it.
class TFormAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TFormAbout(QWidget* parent = nullptr);

    QToolButton* closeButton() const { return closeButton_; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QToolButton* closeButton_ = nullptr;
};

} // namespace wl
