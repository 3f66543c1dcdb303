#pragma once

#include "app/CopyRun.h"
#include "app/RunProgress.h"

#include <QObject>
#include <QString>

#include <memory>
#include <mutex>

class QLineEdit;
class QWidget;

namespace rinvo {

class FileSystem;
class MessageBoxService;

/// Runs a copy run off the user-interface thread, so the window keeps painting: the user
/// interface takes no input meanwhile (the run's own message boxes aside), shows the busy
/// pointer per row and the copied file's name at most at the screen's rate.
class ThreadedCopyRun final : public QObject, private CopyRunObserver
{
    Q_OBJECT
public:
    /// 'window' shows the run's progress in its caption while the run goes on.
    ThreadedCopyRun(
        FileSystem& fs, MessageBoxService& messages, QLineEdit& currentFile, QWidget& window);

    /// Runs the whole copy run and returns once it has ended; messages are shown between rows,
    /// on the user-interface thread. A stop request ends it after the file being copied.
    CopyRunResult run(const CopyRuleTable& rules, CopyOption option, const StopRequest& stop);

private:
    void rowStarted(std::size_t row) override;
    void fileCopied(
        std::string_view sourceFolder, std::string_view fileName, std::uint64_t bytes) override;
    void rowFinished(std::size_t row, const CopyReport& report) override;
    void showLatestName();

    FileSystem& m_fs;
    MessageBoxService& m_messages;
    QLineEdit& m_currentFile;
    QWidget& m_window;
    std::unique_ptr<RunProgress> m_progress;
    std::mutex m_mutex;
    QString m_latestName;
    bool m_nameChanged = false;
};

} // namespace rinvo
