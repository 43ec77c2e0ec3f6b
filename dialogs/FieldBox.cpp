#include "dialogs/FieldBox.h"

#include <QApplication>
#include <QDataStream>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace wl {

const QString FieldBox::MimeType = QStringLiteral("application/x-wavelark-field");

FieldBox::FieldBox(QWidget* parent) : QLineEdit(parent)
{
    // Drops are handled here as a whole field, never as text inserted into the box.
    setAcceptDrops(false);
}

void FieldBox::setAcceptsFields(bool on)
{
    acceptsFields_ = on;
    setAcceptDrops(on);
}

void FieldBox::takeFrom(const FieldBox& source)
{
    showField(source.tag(), source.text());
}

void FieldBox::showField(int tag, const QString& text)
{
    setTag(tag);
    setText(text);
    // A caption wider than the box shows its beginning.
    setCursorPosition(0);
}

void FieldBox::mousePressEvent(QMouseEvent* event)
{
    if (draggable_ && event->button() == Qt::LeftButton) {
        pressed_ = true;
        pressAt_ = event->position().toPoint();
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
}

void FieldBox::mouseMoveEvent(QMouseEvent* event)
{
    if (pressed_ && (event->position().toPoint() - pressAt_).manhattanLength() >=
                        QApplication::startDragDistance()) {
        pressed_ = false;
        startDrag();
        return;
    }
    if (!pressed_)
        QLineEdit::mouseMoveEvent(event);
}

void FieldBox::mouseReleaseEvent(QMouseEvent* event)
{
    const bool wasPressed = pressed_;
    pressed_ = false;
    if (!wasPressed)
        QLineEdit::mouseReleaseEvent(event);
    if (onClick && event->button() == Qt::LeftButton)
        onClick();
}

QMimeData* FieldBox::dragData() const
{
    auto* data = new QMimeData;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << tag_ << text();
    data->setData(MimeType, bytes);
    return data;
}

void FieldBox::startDrag()
{
    auto* drag = new QDrag(this);
    drag->setMimeData(dragData());
    drag->exec(Qt::CopyAction);
}

void FieldBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptsFields_ && event->mimeData()->hasFormat(MimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void FieldBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptsFields_ && event->mimeData()->hasFormat(MimeType))
        event->acceptProposedAction();
    else
        event->ignore();
}

void FieldBox::dropEvent(QDropEvent* event)
{
    if (!acceptsFields_ || !event->mimeData()->hasFormat(MimeType)) {
        event->ignore();
        return;
    }
    QDataStream in(event->mimeData()->data(MimeType));
    int tag = 0;
    QString text;
    in >> tag >> text;
    showField(tag, text);
    event->acceptProposedAction();
}

} // namespace wl
