#include "chart/LabelStore.h"

LabelStore::LabelStore() : entries_(1) {}

LabelStore::Id LabelStore::acquire(const QString& text)
{
    if (text.isEmpty())
        return 0;
    if (last_ != 0 && entries_[last_].refs > 0 && entries_[last_].text == text) {
        ++entries_[last_].refs;
        return last_;
    }
    Id id;
    if (free_.empty()) {
        id = Id(entries_.size());
        entries_.emplace_back();
    } else {
        id = free_.back();
        free_.pop_back();
    }
    entries_[id] = Entry{text, 1};
    last_ = id;
    return id;
}

void LabelStore::release(Id id)
{
    if (id == 0)
        return;
    Entry& entry = entries_[id];
    if (--entry.refs == 0) {
        entry.text = QString();
        free_.push_back(id);
    }
}
