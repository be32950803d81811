#include "platform/mount_watcher.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QObject>
#include <QSocketNotifier>

#include <algorithm>
#include <iterator>

// The open mount table and the notifier that waits on it; the descriptor is
// closed after the notifier that uses it is gone.
struct TMountWatcher::TNotifier {
    explicit TNotifier(int descriptor) : descriptor(descriptor) {}
    ~TNotifier() {
        notifier.reset();
        ::close(descriptor);
    }
    TNotifier(const TNotifier&) = delete;
    TNotifier& operator=(const TNotifier&) = delete;

    int descriptor;
    std::unique_ptr<QSocketNotifier> notifier;
};

TMountWatcher::TMountWatcher(TDeviceChange onChange, TVolumeSources sources)
    : m_onChange(std::move(onChange)), m_sources(std::move(sources)),
      m_known(RemovableMountPoints(m_sources)) {}

TMountWatcher::~TMountWatcher() = default;

bool TMountWatcher::Start() {
    if (m_notifier)
        return true;
    if (!QCoreApplication::instance())
        return false;
    int descriptor = ::open(m_sources.mountsFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    m_notifier = std::make_unique<TNotifier>(descriptor);
    m_notifier->notifier =
        std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Exception);
    QObject::connect(m_notifier->notifier.get(), &QSocketNotifier::activated,
                     [this] { CheckForChanges(); });
    // The table may have changed between the constructor and now.
    CheckForChanges();
    return true;
}

void TMountWatcher::CheckForChanges() {
    std::vector<std::string> now = RemovableMountPoints(m_sources);
    std::vector<std::string> removed;
    std::vector<std::string> arrived;
    std::set_difference(m_known.begin(), m_known.end(), now.begin(), now.end(),
                        std::back_inserter(removed));
    std::set_difference(now.begin(), now.end(), m_known.begin(), m_known.end(),
                        std::back_inserter(arrived));
    // Known before the callbacks run, so that one of them may look again.
    m_known = std::move(now);
    if (!m_onChange)
        return;
    for (const std::string& point : removed)
        m_onChange(DBT_DEVICEREMOVECOMPLETE, point);
    for (const std::string& point : arrived)
        m_onChange(DBT_DEVICEARRIVAL, point);
}
