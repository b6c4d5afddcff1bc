#include "event_list.h"

#include <QStringListModel>

// Placeholder until the event log's list is built.
struct EventList::Private {
    QStringListModel model;
};

EventList::EventList(QWidget* parent) : QListView(parent), d(new Private) { setModel(&d->model); }
EventList::~EventList() { delete d; }
void EventList::addItem(const QString&) {}
int EventList::newIndex() const { return -1; }
int EventList::listCount() const { return 0; }
QString EventList::list(int) const { return {}; }
int EventList::listIndex() const { return -1; }
void EventList::setListIndex(int) {}
