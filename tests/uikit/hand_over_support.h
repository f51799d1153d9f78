#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <QUuid>

#include <optional>
#include <vector>

namespace pq::test {

inline QString uniqueName() {
    return QStringLiteral("pq-test-") + QUuid::createUuid().toString(QUuid::Id128).left(12);
}

// Sets an environment variable for one test and restores it afterwards.
class EnvironmentGuard {
  public:
    explicit EnvironmentGuard(const char* name) : name_(name) {
        if (qEnvironmentVariableIsSet(name)) saved_ = qgetenv(name);
    }
    ~EnvironmentGuard() {
        if (saved_)
            qputenv(name_, *saved_);
        else
            qunsetenv(name_);
    }
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

  private:
    const char* name_;
    std::optional<QByteArray> saved_;
};

// Collects the warnings printed while it lives.
class WarningCatcher {
  public:
    WarningCatcher() { previous_ = qInstallMessageHandler(&WarningCatcher::handle); }
    ~WarningCatcher() {
        qInstallMessageHandler(previous_);
        messages().clear();
    }
    WarningCatcher(const WarningCatcher&) = delete;
    WarningCatcher& operator=(const WarningCatcher&) = delete;

    static QStringList& messages() {
        static QStringList list;
        return list;
    }

  private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg) messages().append(text);
    }
    QtMessageHandler previous_;
};

// Each test gets a private runtime folder of its own, so that its sockets
// meet nobody else's.
class HandOverTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(runtime_.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    }
    QString runtimePath() const { return runtime_.path(); }

  private:
    EnvironmentGuard runtimeGuard_{"XDG_RUNTIME_DIR"};
    EnvironmentGuard tempGuard_{"TMPDIR"};
    EnvironmentGuard userGuard_{"USER"};
    QTemporaryDir runtime_; // created with mode 0700
};

} // namespace pq::test
