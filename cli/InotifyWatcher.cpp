// A watch that the kernel tells of each change in the site (inotify).
#include "InotifyWatcher.h"

#include "NameQuoting.h"
#include "PageNames.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <poll.h>
#include <stdexcept>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillomatic {
namespace {

namespace fs = std::filesystem;

// A page is saved (written and closed, renamed over, made), goes (deleted,
// moved away), or changes its permissions; a folder comes or goes. Writes
// still going on count too, so that the quiet a watch waits for begins when
// they end.
constexpr std::uint32_t kEvents = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE |
                                  IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                  IN_ONLYDIR | IN_EXCL_UNLINK;
constexpr std::uint32_t kArrivals = IN_CREATE | IN_MOVED_TO;

std::string LimitAdvice(const std::string& limit) {
    return "the kernel allows no more inotify " + limit + "; raise fs.inotify.max_user_" + limit +
           " (sysctl fs.inotify.max_user_" + limit + "=N), or watch by polling with --poll MS";
}

} // namespace

InotifyWatcher::InotifyWatcher(WatchedSite site, std::ostream& errors)
    : m_Descriptor(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), m_Site(std::move(site)),
      m_Errors(errors) {
    if (m_Descriptor < 0) {
        throw std::runtime_error(
            "cannot watch the pages: " +
            (errno == EMFILE ? LimitAdvice("instances") : std::string(std::strerror(errno))));
    }
    try {
        WatchSite(m_Watches);
    } catch (...) {
        ::close(m_Descriptor);
        throw;
    }
    m_Started = true;
}

InotifyWatcher::~InotifyWatcher() {
    ::close(m_Descriptor);
}

void InotifyWatcher::WatchSite(Watches& watches) {
    // Looked at each time: an output folder removed and made again is another folder.
    struct stat status {};
    m_OutputFolder = {};
    if (::stat(m_Site.OutputFolder.c_str(), &status) == 0) {
        m_OutputFolder = {status.st_dev, status.st_ino};
    }
    for (const std::string& input : m_Site.Inputs) {
        fs::path absolute = fs::absolute(input).lexically_normal();
        if (absolute.filename().empty()) {
            absolute = absolute.parent_path();
        }
        if (!absolute.filename().empty()) {
            const int parent = AddWatch(absolute.parent_path().string(), true);
            if (parent >= 0) {
                watches[parent].Inputs[absolute.filename().string()] = input;
                if (watches[parent].Path.empty()) {
                    watches[parent].Path = absolute.parent_path().string();
                }
            }
        }
        std::error_code ignored;
        if (fs::is_directory(input, ignored)) {
            WatchFolder(input, true, watches);
        }
    }
}

void InotifyWatcher::WatchFolder(const std::string& path, bool named, Watches& watches) {
    struct stat status {};
    // A folder named is followed through a link, as its pages are; a link
    // met on the walk is left out, as SitePages leaves it out.
    if ((named ? ::stat(path.c_str(), &status) : ::lstat(path.c_str(), &status)) != 0 ||
        !S_ISDIR(status.st_mode) ||
        (!named &&
         m_OutputFolder == std::pair<std::uint64_t, std::uint64_t>(status.st_dev, status.st_ino))) {
        return;
    }
    const int watch = AddWatch(path, named);
    if (watch < 0) {
        return;
    }
    watches[watch].Path = path;
    watches[watch].IsSiteFolder = true;
    std::error_code error;
    for (fs::directory_iterator entry(path, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code ignored;
        if (!PageNames::IsLeftOut(entry->path().filename().string()) &&
            entry->is_directory(ignored) && !entry->is_symlink(ignored)) {
            WatchFolder(entry->path().string(), false, watches);
        }
    }
}

int InotifyWatcher::AddWatch(const std::string& path, bool named) {
    const int watch =
        ::inotify_add_watch(m_Descriptor, path.c_str(), kEvents | (named ? 0 : IN_DONT_FOLLOW));
    if (watch >= 0 || (errno != ENOSPC && errno != ENOMEM)) {
        return watch; // a folder that cannot be read: its walk says so
    }
    const std::string refusal =
        "cannot watch " + NameQuoting::Quoted(path) +
        ": " + (errno == ENOSPC ? LimitAdvice("watches") : std::string(std::strerror(errno)));
    if (!m_Started) {
        throw std::runtime_error(refusal);
    }
    if (m_Refused.insert(path).second) {
        m_Errors << "quillomatic-convert: " << refusal << "; until then its changes go unseen\n"
                 << std::flush;
    }
    return -1;
}

bool InotifyWatcher::WaitForChange(std::optional<std::chrono::milliseconds> timeout) {
    const auto deadline =
        std::chrono::steady_clock::now() + timeout.value_or(std::chrono::milliseconds::zero());
    for (;;) {
        int wait = -1;
        if (timeout) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            wait = static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
        }
        pollfd ready{m_Descriptor, POLLIN, 0};
        const int count = ::poll(&ready, 1, wait);
        if (count < 0 && errno != EINTR) {
            throw std::runtime_error(std::string("cannot watch the pages: ") +
                                     std::strerror(errno));
        }
        if (count == 0) {
            return false;
        }
        if (count > 0 && ReadEvents()) {
            return true;
        }
    }
}

bool InotifyWatcher::ReadEvents() {
    alignas(inotify_event) std::array<char, 65536> buffer;
    bool changed = false;
    for (;;) {
        const ssize_t length = ::read(m_Descriptor, buffer.data(), buffer.size());
        if (length <= 0) {
            return changed; // EAGAIN: nothing more for now
        }
        for (ssize_t at = 0; at < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            changed = Handle(*event) || changed;
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
}

bool InotifyWatcher::Handle(const inotify_event& event) {
    if ((event.mask & IN_Q_OVERFLOW) != 0) {
        return true; // changes were lost: the walk after the quiet finds them all
    }
    const auto found = m_Watches.find(event.wd);
    if (found == m_Watches.end()) {
        return false;
    }
    if ((event.mask & IN_IGNORED) != 0) {
        m_Watches.erase(found);
        return false;
    }
    const Watch& watch = found->second;
    if (event.len == 0) {
        return watch.IsSiteFolder; // the folder itself went, or its permissions changed
    }
    const std::string name = event.name;
    const bool arrived = (event.mask & kArrivals) != 0;
    const bool isFolder = (event.mask & IN_ISDIR) != 0;
    bool changed = false;
    if (const auto input = watch.Inputs.find(name); input != watch.Inputs.end()) {
        const std::string named = input->second;
        m_Touched.insert(named);
        if (isFolder && arrived) {
            WatchFolder(named, true, m_Watches);
        }
        changed = true;
    }
    if (watch.IsSiteFolder && !PageNames::IsLeftOut(name)) {
        const std::string path = (fs::path(watch.Path) / name).string();
        if (isFolder) {
            if (arrived) {
                WatchFolder(path, false, m_Watches);
            }
            changed = true;
        } else if (PageNames::IsPageName(name, m_Site.PageExtensions)) {
            m_Touched.insert(path);
            changed = true;
        }
    }
    return changed;
}

std::set<std::string> InotifyWatcher::TakeTouched() {
    return std::exchange(m_Touched, {});
}

void InotifyWatcher::Follow() {
    Watches watches;
    WatchSite(watches);
    for (const auto& [watch, folder] : m_Watches) {
        if (!watches.contains(watch)) {
            ::inotify_rm_watch(m_Descriptor, watch);
        }
    }
    m_Watches = std::move(watches);
}

} // namespace quillomatic
