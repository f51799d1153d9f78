#include "converter/find/index_runner.h"

#include <QMetaObject>

namespace pq::conv {

IndexRunner::IndexRunner(QObject* parent)
    : QObject(parent), index_(std::make_shared<const UnitIndex>()) {}

IndexRunner::~IndexRunner() {
    if (thread_.joinable()) thread_.join();
}

void IndexRunner::refresh(const std::string& folder) {
    if (running_) {
        again_ = true;
        againFolder_ = folder;
        return;
    }
    start(folder);
}

void IndexRunner::start(const std::string& folder) {
    // The copy shares the files read so far; the thread reads what changed
    // into it and hands it back.
    const UnitIndex fresh(folder);
    auto copy = std::make_shared<UnitIndex>(index_->folder() == fresh.folder() ? *index_ : fresh);
    if (thread_.joinable()) thread_.join(); // the last refresh, ended already
    running_ = true;
    thread_ = std::thread([this, copy] {
        const bool changed = copy->refresh();
        // Posted to this object: a runner destroyed meanwhile has waited for
        // this thread, and its posted calls are dropped with it.
        QMetaObject::invokeMethod(
            this, [this, copy, changed] { finished(copy, changed); }, Qt::QueuedConnection);
    });
}

void IndexRunner::finished(const std::shared_ptr<const UnitIndex>& index, bool changed) {
    running_ = false;
    const bool replaced = changed || index->folder() != index_->folder() || !index_->built();
    if (replaced) index_ = index;
    if (again_) {
        again_ = false;
        start(againFolder_);
    }
    if (replaced && onChanged_) onChanged_();
}

} // namespace pq::conv
