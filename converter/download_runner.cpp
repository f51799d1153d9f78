#include "converter/download_runner.h"

#include <QProgressDialog>
#include <QWidget>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "document/data_folder.h"
#include "document/http_fetcher.h"
#include "document/update_downloader.h"

namespace pq::conv {

namespace fs = std::filesystem;

namespace {

// Stops after the fetch that runs when the download is cancelled.
class CancellableFetcher : public HttpFetcher {
  public:
    CancellableFetcher(HttpFetcher& inner, const std::atomic<bool>& cancelled)
        : inner_(inner), cancelled_(cancelled) {}

    bool fetch(const std::string& url, const std::string& path, std::string& error) override {
        if (cancelled_) {
            error = "cancelled";
            return false;
        }
        const bool ok = inner_.fetch(url, path, error);
        if (cancelled_) {
            error = "cancelled";
            return false;
        }
        return ok;
    }

  private:
    HttpFetcher& inner_;
    const std::atomic<bool>& cancelled_;
};

std::string makeStagingFolder() {
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    if (error) return {};
    std::string pattern = (base / "pqconv-download-XXXXXX").string();
    if (!mkdtemp(pattern.data())) return {};
    return pattern + "/";
}

} // namespace

// Shared by the worker and the window; the worker alone removes the folder
// after a cancel, the window after a finished download.
struct DownloadRunner::Job {
    std::unique_ptr<HttpFetcher> fetcher;
    std::string staging;
    std::string url;
    std::vector<std::u16string> dataFiles;
    std::atomic<bool> cancelled{false};
    std::atomic<bool> finished{false};
    bool ok = false;
    int downloadedCount = 0;
    std::string errorText;
    std::thread thread;
};

DownloadRunner::DownloadRunner(QWidget* window, FetcherFactory factory)
    : QObject(window), window_(window), factory_(std::move(factory)) {
    poll_.setInterval(50);
    connect(&poll_, &QTimer::timeout, this, [this] { poll(); });
}

DownloadRunner::~DownloadRunner() {
    if (job_) {
        // The worker ends on its own and cleans up after itself.
        job_->cancelled = true;
        job_->thread.detach();
    }
}

bool DownloadRunner::start(const std::string& dataFolder, const std::string& url, Done done) {
    if (job_) return false;
    auto job = std::make_shared<Job>();
    job->staging = makeStagingFolder();
    if (job->staging.empty()) return false;
    job->url = url;
    // The files are stored in the staging folder, but only those for the
    // data folder's conversion files.
    job->dataFiles = conversionFileNames(dataFolder);
    job->fetcher = factory_ ? factory_() : std::make_unique<CurlFetcher>();
    job_ = job;
    done_ = std::move(done);
    dataFolder_ = dataFolder;

    job->thread = std::thread([job] {
        CancellableFetcher fetcher(*job->fetcher, job->cancelled);
        PlainFolder folder(job->staging);
        UpdateDownloader downloader(folder, job->url, fetcher);
        downloader.setDataFiles(job->dataFiles);
        job->ok = downloader.run();
        job->downloadedCount = downloader.downloadedCount();
        job->errorText = downloader.errorText();
        job->finished = true;
        if (job->cancelled) {
            std::error_code ignored;
            fs::remove_all(job->staging, ignored);
        }
    });

    progress_ = new QProgressDialog(QStringLiteral("Downloading exchange rates..."),
                                    QStringLiteral("Cancel"), 0, 0, window_);
    progress_->setObjectName(QStringLiteral("downloadProgress"));
    progress_->setWindowTitle(QStringLiteral("Download"));
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    connect(progress_, &QProgressDialog::canceled, this, [this] { cancel(); });
    progress_->show();
    window_->setCursor(Qt::BusyCursor);
    poll_.start();
    return true;
}

void DownloadRunner::cancel() {
    if (!job_) return;
    poll_.stop();
    job_->cancelled = true;
    // The worker may still wait for its fetch; it removes its folder then.
    if (job_->finished) {
        job_->thread.join();
        std::error_code ignored;
        fs::remove_all(job_->staging, ignored);
    } else {
        job_->thread.detach();
    }
    job_.reset();
    done_ = nullptr;
    closeProgress();
}

void DownloadRunner::poll() {
    if (job_ && job_->finished) finish();
}

void DownloadRunner::finish() {
    poll_.stop();
    std::shared_ptr<Job> job = std::move(job_);
    job->thread.join();
    closeProgress();
    MoveUpdateFiles(job->staging, dataFolder_);
    std::error_code ignored;
    fs::remove_all(job->staging, ignored);
    Result result{job->ok, job->downloadedCount, QString::fromStdString(job->errorText)};
    Done done = std::move(done_);
    if (done) done(result);
}

void DownloadRunner::closeProgress() {
    window_->unsetCursor();
    if (!progress_) return;
    progress_->disconnect(this);
    progress_->close();
    progress_->deleteLater();
    progress_ = nullptr;
}

int MoveUpdateFiles(const std::string& from, const std::string& to) {
    int moved = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(from, error)) {
        const fs::path source = entry.path();
        if (source.extension() != ".upd") continue;
        const fs::path target = fs::path(to) / source.filename();
        const fs::path temporary = fs::path(to) / (source.filename().string() + ".part");
        std::error_code step;
        fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, step);
        if (!step) fs::rename(temporary, target, step);
        if (step) {
            fs::remove(temporary, step);
            continue;
        }
        ++moved;
    }
    return moved;
}

} // namespace pq::conv
