#include "ThreadedCopyRun.h"

#include "QtText.h"
#include "app/MessageBoxService.h"
#include "texts/Catalogue.h"

#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <thread>

namespace rinvo {

namespace {

// Hands the messages of a run on a helper thread to the user-interface thread, waiting for
// the answer.
class UiThreadMessageBox final : public MessageBoxService
{
public:
    UiThreadMessageBox(MessageBoxService& target, QObject& uiObject)
        : m_target(target)
        , m_uiObject(uiObject)
    { }

    MessageAnswer show(std::string_view text, MessageButtons buttons) override
    {
        if (QThread::currentThread() == m_uiObject.thread())
            return m_target.show(text, buttons);
        MessageAnswer answer = MessageAnswer::No;
        QMetaObject::invokeMethod(
            &m_uiObject, [&] { answer = m_target.show(text, buttons); },
            Qt::BlockingQueuedConnection);
        return answer;
    }

private:
    MessageBoxService& m_target;
    QObject& m_uiObject;
};

} // namespace

ThreadedCopyRun::ThreadedCopyRun(
    FileSystem& fs, MessageBoxService& messages, QLineEdit& currentFile, QWidget& window)
    : m_fs(fs)
    , m_messages(messages)
    , m_currentFile(currentFile)
    , m_window(window)
{ }

CopyRunResult ThreadedCopyRun::run(
    const CopyRuleTable& rules, CopyOption option, const StopRequest& stop)
{
    m_progress = std::make_unique<RunProgress>(filledRows(rules));
    // The caption tells the progress a few times a second.
    QTimer caption;
    caption.setInterval(250);
    connect(&caption, &QTimer::timeout, this,
        [this] { m_window.setWindowTitle(toQString(m_progress->caption())); });
    caption.start();
    m_window.setWindowTitle(toQString(m_progress->caption()));
    UiThreadMessageBox messages(m_messages, *this);
    CopyRun copyRun(m_fs, messages, *this);
    CopyRunResult result;
    QEventLoop loop;
    QTimer refresh;
    const QScreen* screen = m_currentFile.screen();
    const qreal rate = screen && screen->refreshRate() > 0 ? screen->refreshRate() : 60.0;
    refresh.setInterval(std::max(1, qRound(1000.0 / rate)));
    connect(&refresh, &QTimer::timeout, this, &ThreadedCopyRun::showLatestName);
    refresh.start();

    std::thread worker([&] {
        result = copyRun.run(rules, option, &stop);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Paint, timer and the run's own events only: no input reaches the windows meanwhile.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    refresh.stop();
    caption.stop();
    showLatestName();
    m_window.setWindowTitle(toQString(texts::MainCaption));
    return result;
}

void ThreadedCopyRun::rowStarted(std::size_t)
{
    m_progress->rowStarted();
    QMetaObject::invokeMethod(
        this, [] { QApplication::setOverrideCursor(Qt::WaitCursor); }, Qt::QueuedConnection);
}

void ThreadedCopyRun::fileCopied(std::string_view, std::string_view fileName, std::uint64_t bytes)
{
    m_progress->fileCopied(bytes);
    std::lock_guard lock(m_mutex);
    m_latestName = toQString(fileName);
    m_nameChanged = true;
}

void ThreadedCopyRun::rowFinished(std::size_t, const CopyReport&)
{
    // The row's last copied name stands in the box when the row ends.
    QMetaObject::invokeMethod(
        this,
        [this] {
            showLatestName();
            m_window.setWindowTitle(toQString(m_progress->caption()));
            QApplication::restoreOverrideCursor();
        },
        Qt::QueuedConnection);
}

void ThreadedCopyRun::showLatestName()
{
    QString name;
    {
        std::lock_guard lock(m_mutex);
        if (!m_nameChanged)
            return;
        name = m_latestName;
        m_nameChanged = false;
    }
    m_currentFile.setText(name);
    m_currentFile.repaint();
}

} // namespace rinvo
