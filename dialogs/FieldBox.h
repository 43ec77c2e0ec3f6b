#pragma once

#include <QLineEdit>
#include <QPoint>

#include <functional>

class QMimeData;

namespace wl {

// A box of the preferences that shows a field's caption and carries the field's slot as its
// tag. It can be dragged onto a box that accepts drops, which then takes the text and the tag
// of the box dragged; the box dragged keeps its own.
class FieldBox : public QLineEdit
{
    Q_OBJECT
public:
    static const QString MimeType;

    explicit FieldBox(QWidget* parent = nullptr);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    bool draggable() const { return draggable_; }
    void setDraggable(bool on) { draggable_ = on; }
    bool acceptsFields() const { return acceptsFields_; }
    void setAcceptsFields(bool on);

    // Shows a field: its slot as the tag and its caption from the first character.
    void showField(int tag, const QString& text);
    // Takes the text and the tag of another box, as a drop does.
    void takeFrom(const FieldBox& source);
    // What a drag of this box carries: its tag and its text.
    QMimeData* dragData() const;

    // Called on a plain click (a press and release without a drag).
    std::function<void()> onClick;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void startDrag();

    int tag_ = 0;
    bool draggable_ = false;
    bool acceptsFields_ = false;
    bool pressed_ = false;
    QPoint pressAt_;
};

} // namespace wl
