#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

class QProgressDialog;
class QWidget;

namespace pq {
class HttpFetcher;
}

namespace pq::conv {

// Downloads the update files off the user-interface thread into a private
// folder, with a progress dialog that can cancel. Only a download that ends
// (successfully or not) moves the files it stored into the data folder; a
// cancelled one leaves the data folder as it was.
class DownloadRunner : public QObject {
  public:
    using FetcherFactory = std::function<std::unique_ptr<HttpFetcher>()>;

    struct Result {
        bool ok = false;
        int downloadedCount = 0;
        QString errorText;
    };
    using Done = std::function<void(const Result&)>;

    // Without a factory the downloads go through libcurl.
    DownloadRunner(QWidget* window, FetcherFactory factory);
    ~DownloadRunner() override;

    // False when a download is running already or no private folder could
    // be made. `done` runs on this thread when the download ended, never
    // after a cancel.
    bool start(const std::string& dataFolder, const std::string& url, Done done);
    void cancel();
    bool isRunning() const { return job_ != nullptr; }
    QProgressDialog* progressDialog() const { return progress_; }

  private:
    struct Job;
    void poll();
    void finish();
    void closeProgress();

    QWidget* window_;
    FetcherFactory factory_;
    std::shared_ptr<Job> job_;
    Done done_;
    std::string dataFolder_;
    QProgressDialog* progress_ = nullptr;
    QTimer poll_;
};

// Moves the ".upd" files of one folder into another, each written under a
// temporary name first and then renamed; returns how many were moved.
int MoveUpdateFiles(const std::string& from, const std::string& to);

} // namespace pq::conv
