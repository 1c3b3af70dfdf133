#pragma once
#include <QString>
#include <cstdint>
#include <vector>

// Point labels shared by all series of one chart. A label handed in again
// right after itself (every series of one tick gets the same clock text) is
// stored once and counted; an entry is freed when its last point goes.
// Id 0 is the empty label and is never counted.
class LabelStore {
public:
    using Id = std::uint32_t;

    LabelStore();

    Id acquire(const QString& text);
    void release(Id id);
    const QString& text(Id id) const { return entries_[id].text; }
    // Entries in use, the empty label not counted.
    int liveCount() const { return int(entries_.size() - 1 - free_.size()); }

private:
    struct Entry {
        QString text;
        std::uint32_t refs = 0;
    };
    std::vector<Entry> entries_;
    std::vector<Id> free_;
    Id last_ = 0;
};
