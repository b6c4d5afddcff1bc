#pragma once

#include <QListView>

#include <cstddef>
#include <memory>

// The event-log list box: a single-column, unsorted list with at most one
// selected line. Lines live in a compact model behind a list view with uniform
// item sizes, so a million lines stay cheap. The list's own state (lines,
// ListIndex) is exact after every call; the view catches up at most once per
// event-loop turn, less often while its relayouts grow costly, and scrolls the
// selected line into view only while it is shown.
class EventList final : public QListView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EventList)

public:
    explicit EventList(QWidget* parent = nullptr);
    ~EventList() override;

    // Appends a line as the last one (the list box's AddItem without a position).
    void addItem(const QString& line);
    // Index of the line added last (NewIndex); -1 before any.
    int newIndex() const;
    int listCount() const;
    QString list(int index) const;
    // The selected line (ListIndex); -1 for none. Setting it selects the
    // line and brings it into view.
    int listIndex() const;
    void setListIndex(int index);

    // Memory held for the lines, for measuring.
    std::size_t bytesReserved() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void queueSync();
    void syncView();

    struct Private;
    const std::unique_ptr<Private> d;
};
