#pragma once

#include "app/CopyRun.h"

#include <QObject>
#include <QString>

#include <mutex>

class QLineEdit;

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
    ThreadedCopyRun(FileSystem& fs, MessageBoxService& messages, QLineEdit& currentFile);

    /// Runs the whole copy run and returns once it has ended; messages are shown between rows,
    /// on the user-interface thread.
    CopyRunResult run(const CopyRuleTable& rules, CopyOption option);

private:
    void rowStarted(std::size_t row) override;
    void fileCopied(std::string_view sourceFolder, std::string_view fileName) override;
    void rowFinished(std::size_t row, const CopyReport& report) override;
    void showLatestName();

    FileSystem& m_fs;
    MessageBoxService& m_messages;
    QLineEdit& m_currentFile;
    std::mutex m_mutex;
    QString m_latestName;
    bool m_nameChanged = false;
};

} // namespace rinvo
