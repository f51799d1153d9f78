#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "document/unit_index.h"

namespace pq::conv {

// The index of the data folder, kept up to date off the user-interface
// thread. refresh() has the folder looked at again in the background, where
// only the files changed since the last look are read; the new index takes
// the place of the current one when it is ready. Searches meanwhile go to
// the current one, so typing never waits for the files.
class IndexRunner : public QObject {
  public:
    explicit IndexRunner(QObject* parent = nullptr);
    // Waits for a refresh that is running.
    ~IndexRunner() override;

    // A folder other than the index's starts a new index. A refresh asked
    // for while one runs follows it.
    void refresh(const std::string& folder);
    // Never none; empty (not built()) until the first refresh ended.
    std::shared_ptr<const UnitIndex> index() const { return index_; }
    bool isRunning() const { return running_; }
    // Called on this thread after a refresh that changed the index.
    void setChangedHandler(std::function<void()> handler) { onChanged_ = std::move(handler); }

  private:
    void start(const std::string& folder);
    void finished(const std::shared_ptr<const UnitIndex>& index, bool changed);

    std::shared_ptr<const UnitIndex> index_;
    std::thread thread_;
    bool running_ = false;
    bool again_ = false;
    std::string againFolder_;
    std::function<void()> onChanged_;
};

} // namespace pq::conv
