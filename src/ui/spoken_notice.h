#pragma once
// What a screen reader says of a window's changes that it would not notice on
// its own: the exercise's new example, the verdict on an answer, the points.
// Qt 6.4 has no announcement, and a change of a name or description reaches
// the accessibility bus in a form the screen reader cannot speak; a
// notification that appears is spoken at once. A SpokenNotice is such a
// notification: one pixel, painted with nothing, under its siblings, so that a
// sighted user never sees it; say() shows it anew with its text.

#include <QAccessible>
#include <QString>
#include <QWidget>

// True when the environment variable ZELVO_ACCESSIBLE_IDS is "1": controls then
// carry their designer names as accessible descriptions, for automation.
bool AccessibleIdsOn();

class SpokenNotice : public QWidget {
  public:
    explicit SpokenNotice(QWidget* parent);
    void say(const QString& text);
    QString text() const { return text_; }

  private:
    QString text_;
};

// Qt 6.4 tells the accessibility bus that the caret moved in a line edit that
// takes the focus before it tells that the focus came: the screen reader then
// takes the field as focused already and says nothing of it. Once called, the
// focus goes to the bus first, so that every field is spoken by
// its label when the Tab key or a window brings the focus to it. Windows that
// are plain widgets are shown on the bus as dialogs, which the screen reader
// takes for active windows.
// `delivery`, for tests, takes the updates in place of the bus.
using SpokenNoticeDelivery = void (*)(QAccessibleEvent*);
void SpeakFocusedFieldsFirst(SpokenNoticeDelivery delivery = nullptr);
// The update handler that SpeakFocusedFieldsFirst installs: one update on its
// way to the bus.
void SendFocusFirst(QAccessibleEvent* event);
