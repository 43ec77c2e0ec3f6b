#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace wl {

class TFormMain;

// The notes window: shows the whole notes of one record, as a viewer that can print them or
// as an editor that saves them. It is bound, when it opens, to the main window's table and the
// record's number; it saves by that number, refuses to write once the record or the table is
// gone, and closes when the table is closed or another one opened. Non-modal, on top of the
// main window, destroyed when it closes.
class TFormView : public QWidget
{
    Q_OBJECT
public:
    enum class Role
    {
        Viewer,
        Editor
    };

    // The viewer for the record of the grid's selected row; nullptr (after telling the user)
    // when that row shows no record or the record has no notes.
    static TFormView* openViewer(TFormMain& main);
    // The editor for the record of a grid row; nullptr (after telling the user) when the row
    // shows no record.
    static TFormView* openEditor(TFormMain& main, int row);

    QPushButton* BtnSaveNotes = nullptr;
    QPushButton* BtnPrintNotes = nullptr;
    QPushButton* BtnClose = nullptr;
    QPlainTextEdit* RE1 = nullptr;

    Role role() const { return role_; }
    qint64 recNum() const { return recNum_; }
    // Writes the text into the record's notes; false (after telling the user) when it could not.
    bool BtnSaveNotesClick();
    // Prints through the print dialog, or into a PDF file when no printer is installed.
    bool BtnPrintNotesClick();

private:
    TFormView(TFormMain& main, Role role, qint64 recNum, const QString& notes);
    static constexpr QSize DesignSize{632, 453};
    static constexpr int Inset = 24;
    void buildControls();
    void placeOver(const QRect& main);
    // Whether the table the window was opened on is still the open one.
    bool tableStillOpen() const;
    // The editor holds text typed since it was opened or last saved.
    bool hasUnsavedText() const;
    void watchTable();

    TFormMain& main_;
    Role role_;
    qint64 recNum_;
    QString folder_;
    QTimer* watch_ = nullptr;
};

} // namespace wl
