#include "event_list.h"

#include "platform/runtime_error.h"

#include <QAbstractListModel>
#include <QElapsedTimer>
#include <QItemSelectionModel>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

namespace {

// The log's lines packed into large chunks that are never moved, with one
// 8-byte position per line: about 50 bytes a typical line instead of a heap
// string each. ASCII lines take a byte a character; any other line keeps its
// UTF-16 code units as they are, so no text comes back altered. Lines are
// stored at once but announced to the view in batches, since every row
// insertion costs the view a relayout of all rows.
class LineModel final : public QAbstractListModel {
public:
    qsizetype lineCount() const { return static_cast<qsizetype>(m_starts.size()); }

    void append(const QString& line)
    {
        // The view counts rows in int; beyond that the list can take no more.
        if (lineCount() >= std::numeric_limits<int>::max())
            platform::raise(platform::err::OutOfMemory);
        try {
            const char16_t* units = reinterpret_cast<const char16_t*>(line.constData());
            const std::size_t length = static_cast<std::size_t>(line.size());
            if (std::all_of(units, units + length, [](char16_t unit) { return unit < 0x80; })) {
                std::copy(units, units + length, reserve(length)); // a byte each
                commit(length, false);
            } else {
                const std::size_t bytes = length * sizeof(char16_t);
                std::memcpy(reserve(bytes), units, bytes);
                commit(bytes, true);
            }
        } catch (const std::bad_alloc&) {
            platform::raise(platform::err::OutOfMemory);
        }
    }

    QString line(qsizetype index) const
    {
        const std::uint64_t start = m_starts[static_cast<std::size_t>(index)];
        const std::size_t chunk = start >> 32;
        const std::size_t begin = start & kOffsetMask;
        std::size_t end = m_chunks[chunk].size;
        if (index + 1 < lineCount()) {
            const std::uint64_t next = m_starts[static_cast<std::size_t>(index + 1)];
            if ((next >> 32) == chunk)
                end = next & kOffsetMask;
        }
        const char* bytes = m_chunks[chunk].bytes.get() + begin;
        if (!(start & kUtf16Flag))
            return QString::fromLatin1(bytes, static_cast<qsizetype>(end - begin));
        QString text(static_cast<qsizetype>((end - begin) / sizeof(char16_t)), Qt::Uninitialized);
        std::memcpy(text.data(), bytes, end - begin);
        return text;
    }

    bool hasUnannouncedLines() const { return m_announced < lineCount(); }

    // Tells the view about every line stored since the last call, in one insertion.
    void announce()
    {
        if (!hasUnannouncedLines())
            return;
        beginInsertRows({}, m_announced, static_cast<int>(lineCount() - 1));
        m_announced = static_cast<int>(lineCount());
        endInsertRows();
    }

    std::size_t bytesReserved() const
    {
        std::size_t bytes = m_starts.capacity() * sizeof(std::uint64_t) + m_chunks.capacity() * sizeof(Chunk);
        for (const Chunk& chunk : m_chunks)
            bytes += chunk.capacity;
        return bytes;
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_announced; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_announced)
            return {};
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
            return line(index.row());
        return {};
    }

private:
    static constexpr std::size_t kChunkBytes = std::size_t(1) << 20;
    // A line's position: its chunk in the high half, its offset in the low
    // 31 bits, and whether it is stored as UTF-16 in bit 31.
    static constexpr std::uint64_t kUtf16Flag = std::uint64_t(1) << 31;
    static constexpr std::uint64_t kOffsetMask = kUtf16Flag - 1;

    struct Chunk {
        std::unique_ptr<char[]> bytes;
        std::size_t size;
        std::size_t capacity;
    };

    // Room for `bytes` more at the end of the last chunk, or in a new one.
    char* reserve(std::size_t bytes)
    {
        if (m_chunks.empty() || m_chunks.back().capacity - m_chunks.back().size < bytes) {
            const std::size_t capacity = std::max(kChunkBytes, bytes);
            if (capacity > kOffsetMask)
                throw std::bad_alloc();
            if (m_chunks.size() == m_chunks.capacity())
                m_chunks.reserve(2 * m_chunks.size() + 16);
            m_chunks.push_back({std::make_unique_for_overwrite<char[]>(capacity), 0, capacity});
        }
        if (m_starts.size() == m_starts.capacity()) // before anything is committed
            m_starts.reserve(2 * m_starts.size() + 1024);
        return m_chunks.back().bytes.get() + m_chunks.back().size;
    }

    void commit(std::size_t bytes, bool utf16)
    {
        Chunk& chunk = m_chunks.back();
        m_starts.push_back((std::uint64_t(m_chunks.size() - 1) << 32) | chunk.size | (utf16 ? kUtf16Flag : 0));
        chunk.size += bytes;
    }

    std::vector<Chunk> m_chunks;
    std::vector<std::uint64_t> m_starts; // position of each line
    int m_announced = 0;
};

} // namespace

struct EventList::Private {
    LineModel model;
    int selected = -1;       // ListIndex: exact after every call, ahead of the view
    bool syncing = false;    // the view's selection is being set from `selected`
    QTimer syncTimer;        // the view's next update
    QElapsedTimer sinceSync; // since the view's last update ended
    qint64 syncCostNs = 0;   // what the view's last update took
};

EventList::EventList(QWidget* parent) : QListView(parent), d(std::make_unique<Private>())
{
    setModel(&d->model);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    d->syncTimer.setSingleShot(true);
    connect(&d->syncTimer, &QTimer::timeout, this, &EventList::syncView);
    // A line the user picks becomes the list's selected line.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (!d->syncing && current.isValid())
            d->selected = current.row();
    });
}

EventList::~EventList()
{
    // The view lets go of the model before the model goes.
    setModel(nullptr);
}

void EventList::addItem(const QString& line)
{
    d->model.append(line);
    queueSync();
}

int EventList::newIndex() const
{
    return d->model.lineCount() == 0 ? -1 : static_cast<int>(d->model.lineCount() - 1);
}

int EventList::listCount() const
{
    return static_cast<int>(d->model.lineCount());
}

QString EventList::list(int index) const
{
    if (index < 0 || index >= d->model.lineCount())
        return {};
    return d->model.line(index);
}

int EventList::listIndex() const
{
    return d->selected;
}

void EventList::setListIndex(int index)
{
    if (index < -1 || index >= d->model.lineCount())
        platform::raise(platform::err::InvalidPropertyValue);
    d->selected = index;
    queueSync();
}

std::size_t EventList::bytesReserved() const
{
    return d->model.bytesReserved();
}

void EventList::syncView()
{
    d->syncTimer.stop();
    QElapsedTimer cost;
    cost.start();
    d->model.announce();
    d->syncing = true;
    if (d->selected < 0) {
        selectionModel()->clear();
    } else {
        const QModelIndex index = d->model.index(d->selected);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        // Scrolling is the costly part: never while hidden; showEvent catches up.
        if (isVisible())
            scrollTo(index);
    }
    d->syncing = false;
    d->syncCostNs = cost.nsecsElapsed();
    d->sinceSync.start();
}

void EventList::queueSync()
{
    if (d->syncTimer.isActive())
        return;
    // At the next event-loop turn; but the view lays out all its rows on every
    // update, so with a long log it waits until four times that cost has gone
    // to the rest of the program, and events arriving meanwhile share one update.
    qint64 waitMs = 0;
    if (d->sinceSync.isValid())
        waitMs = std::clamp<qint64>((4 * d->syncCostNs - d->sinceSync.nsecsElapsed()) / 1'000'000, 0, 500);
    d->syncTimer.start(int(waitMs));
}

void EventList::showEvent(QShowEvent* event)
{
    QListView::showEvent(event);
    syncView();
}
